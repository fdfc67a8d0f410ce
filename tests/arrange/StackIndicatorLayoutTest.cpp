#include "arrange/StackIndicatorGeometry.h"
#include "arrange/StackIndicatorInput.h"

#include <gtest/gtest.h>

namespace tessora::stackindicator {
namespace {

// A 1200 × 800 area split the way placement does with a 24-point gap: tiles touch the area's
// border and keep 24 points between each other.
const WindowRect area{0, 0, 1200, 800};
const WindowRect topLeftQuarter{0, 0, 588, 388};
const WindowRect rightHalf{612, 0, 588, 800};
const WindowRect bottomRightQuarter{612, 412, 588, 388};

TEST(StackIndicatorPlacement, FindsRoomAboveLeftOrAtTheTop) {
    // No room above or to the left: on the tile, just below the area's top.
    Placement p = placeIndicator(area, topLeftQuarter, 24);
    EXPECT_EQ(pillFrame(p, 2), (WindowRect{276.5, 0, 35, 16}));
    // Full height: upright in the gap to the left, centred on the tile's height.
    p = placeIndicator(area, rightHalf, 24);
    EXPECT_EQ(p.orientation, Orientation::Vertical);
    EXPECT_EQ(pillFrame(p, 3), (WindowRect{592, 378, 16, 44}));
    // A tile with another one above it: in the gap between them.
    p = placeIndicator(area, bottomRightQuarter, 24);
    EXPECT_EQ(p.orientation, Orientation::Horizontal);
    EXPECT_EQ(p.centre, QPointF(906, 400));
    // A gap too narrow for the pill: at the area's top, whatever room there is.
    p = placeIndicator({100, 30, 1200, 800}, {712, 30, 588, 800}, 8);
    EXPECT_EQ(p.orientation, Orientation::Horizontal);
    EXPECT_EQ(p.centre, QPointF(1006, 38));
}

TEST(StackIndicatorDots, LayoutAndHitTest) {
    // Three dots with the last active: 6, 6, 14 long, starting 6 from the pill's end.
    const QList<DotSpan> spans = dotSpans(pillLength(3), 3, 2);
    EXPECT_EQ(pillLength(3), 44);
    EXPECT_EQ(dotRects(Orientation::Horizontal, spans),
              (QList<QRectF>{{6, 5, 6, 6}, {15, 5, 6, 6}, {24, 5, 14, 6}}));
    EXPECT_EQ(dotRects(Orientation::Vertical, spans)[2], QRectF(5, 24, 6, 14));

    // A click before the first dot selects it; up to 1.5 past a dot's end still selects that
    // dot, further into the space the next one; beyond the last dot nothing.
    const auto at = [&](double x) { return dotAt(Orientation::Horizontal, spans, {x, 8}); };
    EXPECT_EQ(at(0), 0);
    EXPECT_EQ(at(13.4), 0);
    EXPECT_EQ(at(13.6), 1);
    EXPECT_EQ(at(39.4), 2);
    EXPECT_EQ(at(39.6), std::nullopt);
    EXPECT_EQ(dotAt(Orientation::Vertical, spans, {100, 16}), 1);  // along y when upright
}

// Three trackpad swipes of 12 over the tile add up to one step; the controller's tests drive
// that end to end, these check the rest of the rule.
TEST(StackIndicatorInput, ScrollAndKeyRules) {
    ScrollCycler cycler;
    const auto alt = [&](double dx, double dy, QPointF at = {900, 400}) {
        return cycler.handle({dx, dy, false, at, KeyModifier::Alt}, rightHalf);
    };
    // One wheel notch is a step; vertical deltas count reversed; horizontal ones win.
    EXPECT_EQ(alt(0, 1).step, -1);
    EXPECT_EQ(alt(0, -1).step, 1);
    EXPECT_EQ(alt(-1, 5).step, -1);
    // Not ours: no delta, outside the tile (its right and bottom edges are outside), no Alt.
    EXPECT_EQ(alt(0, 0).decision, InputDecision::Pass);
    EXPECT_EQ(alt(0, 5, {611.9, 400}).decision, InputDecision::Pass);
    EXPECT_EQ(alt(0, 5, {900, 800}).decision, InputDecision::Pass);
    const ScrollInput superOnly{0, 5, true, {900, 400}, KeyModifier::Super};
    EXPECT_EQ(cycler.handle(superOnly, rightHalf).decision, InputDecision::Pass);
    EXPECT_EQ(cycler.accumulated(), 0);

    const KeyModifiers superAlt = KeyModifier::Super | KeyModifier::Alt;
    EXPECT_EQ(cycleStepForKey({keysym::left, superAlt | KeyModifier::Shift}), -1);
    EXPECT_EQ(cycleStepForKey({keysym::right, KeyModifier::Alt}), std::nullopt);
    EXPECT_EQ(cycleStepForKey({keysym::escape, superAlt}), std::nullopt);
}

}  // namespace
}  // namespace tessora::stackindicator
