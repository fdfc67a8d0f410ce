// Where the launcher panel goes, and which points count as the top strip of a screen.
#include "app/PanelGeometry.h"

#include <gtest/gtest.h>

namespace tessora {
namespace {

TEST(PanelGeometryTest, PanelSitsCentredEightyBelowTheTopAndNeverBelowTheBottom) {
    EXPECT_EQ(panelFrameOn({0, 0, 1440, 875}, {544, 550}), (ScreenRect{448, 245, 544, 550}));
    EXPECT_EQ(panelFrameOn({0, 0, 1440, 600}, {544, 550}), (ScreenRect{448, 0, 544, 550}));
    // A monitor left of and below the primary one keeps its own origin.
    EXPECT_EQ(panelFrameOn({-1920, -180, 1920, 1040}, {900, 620}),
              (ScreenRect{-1410, 160, 900, 620}));
}

TEST(PanelGeometryTest, TopStripIsMeasuredFromTheTopOfTheScreenUnderThePoint) {
    const QList<Screen> screens{{1, {0, 0, 1440, 900}, {0, 25, 1440, 875}},
                                {2, {1440, -200, 1920, 1080}, {1440, -200, 1920, 1080}}};
    EXPECT_TRUE(nearTopOfScreen(screens, {10, 0}, 42));
    EXPECT_TRUE(nearTopOfScreen(screens, {10, 42}, 42));
    EXPECT_FALSE(nearTopOfScreen(screens, {10, 43}, 42));
    // The second monitor's top edge is 200 px higher.
    EXPECT_TRUE(nearTopOfScreen(screens, {1500, -160}, 42));
    EXPECT_FALSE(nearTopOfScreen(screens, {1500, 10}, 42));
    // Off every screen, and without screens, nothing is near a top.
    EXPECT_FALSE(nearTopOfScreen(screens, {-5, 0}, 42));
    EXPECT_FALSE(nearTopOfScreen({}, {0, 0}, 42));
}

}  // namespace
}  // namespace tessora
