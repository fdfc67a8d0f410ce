#include "platform/Screens.h"

#include <gtest/gtest.h>

namespace tessora {
namespace {

TEST(Screens, TheScreenUnderAPointElseThePrimaryOne) {
    const QList<Screen> screens{{1, {0, 0, 1440, 900}, {0, 25, 1440, 875}},
                                {2, {1440, -200, 1920, 1080}, {1440, -200, 1920, 1080}}};
    EXPECT_EQ(screenContaining(screens, {10, 10})->number, 1u);
    // A point on the border between the two belongs to the second; frames are half-open.
    EXPECT_EQ(screenContaining(screens, {1440, 10})->number, 2u);
    EXPECT_FALSE(screenContaining(screens, {1440, 880}));
    EXPECT_FALSE(screenContaining(screens, {0, 900}));

    EXPECT_EQ(screenAt(screens, QPointF(1500, -100))->number, 2u);
    EXPECT_EQ(screenAt(screens, QPointF(-5, 0))->number, 1u) << "off every screen";
    EXPECT_EQ(screenAt(screens, std::nullopt)->number, 1u) << "no pointer";
    EXPECT_FALSE(screenAt({}, QPointF(0, 0)));

    EXPECT_EQ(primaryHeight(screens), 900.0);
    EXPECT_FALSE(primaryHeight({}));
}

}  // namespace
}  // namespace tessora
