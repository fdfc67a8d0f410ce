#include "chain/RibbonDots.h"

#include <gtest/gtest.h>

namespace tessora::ribbondots {
namespace {

TEST(RibbonDots, ThePanelIsJustWideEnoughForItsDots) {
    EXPECT_EQ(panelWidth(2), 35);
    EXPECT_EQ(panelWidth(4), 53);
    EXPECT_EQ(panelFrame({100, 30, 1440, 870}, 3), (WindowRect{820 - 22, 30, 44, 16}));

    // The last dot ends one padding before the panel's end, whichever dot is long.
    for (int active = 0; active < 4; ++active) {
        const Dots dots{{"a", "b", "c", "d"}, active};
        EXPECT_EQ(dotRect(dots, 3).right(), panelWidth(4) - endPadding) << active;
        EXPECT_EQ(dotRect(dots, active).width(), activeDotLength);
    }
}

TEST(RibbonDots, ClicksHitTheDotUnderThemAcrossThePanelsHeight) {
    const Dots dots{{"a", "b", "c"}, 1};
    EXPECT_EQ(dotRect(dots, 0), QRectF(6, 5, 6, 6));
    EXPECT_EQ(dotRect(dots, 1), QRectF(15, 5, 14, 6));
    EXPECT_EQ(dotRect(dots, 2), QRectF(32, 5, 6, 6));
    EXPECT_EQ(dotAt(dots, {7, 1}), 0);
    EXPECT_EQ(dotAt(dots, {28, 15}), 1);
    EXPECT_EQ(dotAt(dots, {13, 8}), std::nullopt);  // between two dots
    EXPECT_EQ(dotAt(dots, {2, 8}), std::nullopt);   // the padding
    EXPECT_TRUE(dotRect(dots, 3).isNull());
}

}  // namespace
}  // namespace tessora::ribbondots
