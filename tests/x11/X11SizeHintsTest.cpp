#include "platform/x11/X11SizeHints.h"

#include <gtest/gtest.h>

namespace tessora::testing {
namespace {

using x11::fitToSizeHints;
using x11::parseSizeHints;

// WM_NORMAL_HINTS items: flags, then the pairs at their ICCCM places.
std::vector<uint32_t> hints(uint32_t flags, QSize min, QSize max, QSize inc, QSize base) {
    std::vector<uint32_t> items(18, 0);
    items[0] = flags;
    const auto put = [&](std::size_t at, QSize size) {
        items[at] = static_cast<uint32_t>(size.width());
        items[at + 1] = static_cast<uint32_t>(size.height());
    };
    put(5, min);
    put(7, max);
    put(9, inc);
    put(15, base);
    return items;
}

constexpr uint32_t kMin = 1u << 4, kMax = 1u << 5, kInc = 1u << 6, kBase = 1u << 8;

TEST(X11SizeHints, ASizeKeepsToTheMinimumMaximumAndIncrements) {
    // A terminal: cells of 7 x 13 counted from a 4 x 4 border, at least one cell.
    const auto terminal = parseSizeHints(hints(kMin | kInc | kBase, {11, 17}, {}, {7, 13}, {4, 4}));
    ASSERT_TRUE(terminal);
    EXPECT_EQ(fitToSizeHints({640, 800}, *terminal), QSize(634, 797));  // 4 + 90*7, 4 + 61*13
    EXPECT_EQ(fitToSizeHints({5, 5}, *terminal), QSize(11, 17));

    // A window that cannot shrink below 900 wide takes 900 however little it is given; one that
    // cannot grow keeps to its maximum.
    const auto wide = parseSizeHints(hints(kMin | kMax, {900, 200}, {1000, 0}, {}, {}));
    ASSERT_TRUE(wide);
    EXPECT_EQ(fitToSizeHints({640, 800}, *wide), QSize(900, 800));
    EXPECT_EQ(fitToSizeHints({1280, 800}, *wide), QSize(1000, 800));

    // The base stands in for a missing minimum, and no flags leave any size as it is.
    const auto based = parseSizeHints(hints(kBase, {}, {}, {}, {300, 100}));
    ASSERT_TRUE(based);
    EXPECT_EQ(fitToSizeHints({200, 50}, *based), QSize(300, 100));
    const auto none = parseSizeHints(hints(0, {900, 900}, {1, 1}, {50, 50}, {}));
    ASSERT_TRUE(none);
    EXPECT_EQ(fitToSizeHints({123, 456}, *none), QSize(123, 456));
}

TEST(X11SizeHints, HostileHintsAreHeldToSaneValues) {
    EXPECT_FALSE(parseSizeHints(std::vector<uint32_t>(17, 0)));  // truncated
    // Huge values are held to 32767; a zero increment counts as one; a maximum below the
    // minimum is no maximum.
    std::vector<uint32_t> items = hints(kMin | kMax | kInc, {1, 10}, {5, 5}, {0, 0}, {});
    items[5] = 0xFFFFFFFF;
    const auto huge = parseSizeHints(items);
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->minimum, QSize(32767, 10));
    EXPECT_EQ(fitToSizeHints({640, 480}, *huge), QSize(32767, 480));
}

}  // namespace
}  // namespace tessora::testing
