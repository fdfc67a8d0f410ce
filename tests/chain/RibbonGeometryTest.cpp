#include "chain/RibbonGeometry.h"

#include <gtest/gtest.h>

#include <limits>

namespace tessora {
namespace {

RibbonStrip stripOf(double gap, QList<double> minimums, int columns) {
    RibbonStrip strip;
    strip.area = {0, 25, 1440, 875};
    strip.gap = gap;
    strip.minimumColumnWidths = std::move(minimums);
    strip.rebuildColumns(columns);
    return strip;
}

TEST(RibbonGeometry, BaseColumnsAndGapsFillTheViewport) {
    RibbonStrip strip = stripOf(24, {}, 2);
    EXPECT_EQ(strip.viewport, strip.area);
    EXPECT_EQ(strip.columnWidths, (QList<double>{708, 708}));
    EXPECT_EQ(strip.itemOffsets, (QList<double>{0, 732}));
    EXPECT_EQ(strip.maxOffset(2), 0);

    strip.rebuildColumns(3);
    EXPECT_EQ(strip.itemOffsets, (QList<double>{0, 732, 1464}));
    EXPECT_EQ(strip.maxOffset(3), 732);
    EXPECT_EQ(strip.maxOffset(4), 0);  // a count that does not match the columns cannot scroll

    strip.capacity = 0;  // without capacity the base is half the viewport
    strip.rebuildColumns(2);
    EXPECT_EQ(strip.columnWidths, (QList<double>{720, 720}));
}

TEST(RibbonGeometry, MinimumWidthsWidenTheirColumnsAndShiftTheOthers) {
    RibbonStrip strip = stripOf(0, {720, 900}, 3);  // the third entry is missing
    EXPECT_EQ(strip.columnWidths, (QList<double>{720, 900, 720}));
    EXPECT_EQ(strip.itemOffsets, (QList<double>{0, 720, 1620}));
    EXPECT_EQ(strip.maxOffset(3), 1620);  // 900 + 720 > 1441: the last column stands alone

    // A last column wider than the viewport is scrolled to its start.
    strip = stripOf(0, {0, 0, 1600}, 3);
    EXPECT_EQ(strip.maxOffset(3), 1440);
    EXPECT_EQ(strip.clampedOffset(5000, 3), 1440);
}

TEST(RibbonGeometry, SingleAndNoWindow) {
    RibbonStrip strip = stripOf(24, {2000}, 1);
    EXPECT_EQ(strip.columnWidths, QList<double>{1440});  // minimums play no part
    EXPECT_EQ(strip.itemOffsets, QList<double>{0});
    EXPECT_EQ(strip.maxOffset(1), 0);
    strip.rebuildColumns(0);
    EXPECT_TRUE(strip.columnWidths.isEmpty() && strip.itemOffsets.isEmpty());
    EXPECT_EQ(strip.maxOffset(0), 0);
}

TEST(RibbonGeometry, ClampingAndNearestColumn) {
    RibbonStrip strip = stripOf(24, {}, 4);  // offsets 0, 732, 1464, 2196; max 1464
    EXPECT_EQ(strip.clampedOffset(-50, 4), 0);
    EXPECT_EQ(strip.clampedOffset(std::numeric_limits<double>::quiet_NaN(), 4), 0);
    EXPECT_EQ(strip.clampedOffset(900, 4), 900);
    EXPECT_EQ(strip.clampedOffset(9000, 4), 1464);

    EXPECT_EQ(strip.nearestColumn(366), 0);  // halfway: the left one
    EXPECT_EQ(strip.nearestColumn(367), 1);
    EXPECT_EQ(strip.nearestColumn(-100), 0);
    EXPECT_EQ(strip.nearestColumn(5000), 3);
    strip.rebuildColumns(1);
    EXPECT_EQ(strip.nearestColumn(5000), 0);
}

TEST(RibbonGeometry, PlacementFlagsUseOnePointOfTolerance) {
    RibbonStrip strip = stripOf(24, {}, 0);
    strip.area.x = 100;
    strip.rebuildColumns(3);

    const RibbonColumnPlacement third = strip.columnPlacement(2, 0, false);
    EXPECT_EQ(third.frame, (WindowRect{1564, 25, 708, 875}));
    EXPECT_FALSE(third.intersectsViewport || third.fullyVisible || third.needsSize);
    EXPECT_EQ(third.clampedX, 1540 - 708);
    EXPECT_TRUE(strip.columnPlacement(2, 0, true).needsSize);

    // One point past either edge still counts as fully visible; 1.01 does not.
    EXPECT_TRUE(strip.columnPlacement(0, 1, false).fullyVisible);
    EXPECT_FALSE(strip.columnPlacement(0, 1.01, false).fullyVisible);
    EXPECT_TRUE(strip.columnPlacement(2, 733, false).fullyVisible);
    EXPECT_FALSE(strip.columnPlacement(2, 730.99, false).fullyVisible);

    // A column that has just come fully into view needs its size; once remembered, it moves.
    EXPECT_TRUE(strip.columnPlacement(2, 732, false).needsSize);
    strip.fullyVisible = {2};
    EXPECT_FALSE(strip.columnPlacement(2, 732, false).needsSize);

    // Touching the viewport's edge is not intersecting it.
    EXPECT_FALSE(strip.columnPlacement(2, 24, false).intersectsViewport);
    EXPECT_TRUE(strip.columnPlacement(2, 24.5, false).intersectsViewport);
}

}  // namespace
}  // namespace tessora
