#pragma once

// Rectangles of the three kinds the system works with. They are distinct types so that a
// fraction of an area, a frame in window space and a rectangle in screen space can never be
// mixed up by accident:
//  - UnitRect: fractions of a target area, x from the left, y from the top (y down).
//  - WindowRect: window space, origin at the top-left of the primary monitor, y down.
//  - ScreenRect: screen space, origin at the bottom-left of the primary monitor, y up.

#include <QPointF>

namespace tessora {

struct Size {
    double width = 0;
    double height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// Widths around a rectangle, one per side.
struct Margins {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    friend bool operator==(const Margins&, const Margins&) = default;
};

struct UnitRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    // Exact comparisons by design: the built-in regions are chosen so that edges that reach
    // the far side of the area sum to exactly 1.0 in double precision.
    bool touchesLeft() const { return x == 0.0; }
    bool touchesTop() const { return y == 0.0; }
    bool touchesRight() const { return x + width == 1.0; }
    bool touchesBottom() const { return y + height == 1.0; }

    friend bool operator==(const UnitRect&, const UnitRect&) = default;
};

template <typename Space>
struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double minX() const { return x; }
    double minY() const { return y; }
    double maxX() const { return x + width; }
    double maxY() const { return y + height; }
    double midX() const { return x + width / 2; }
    double midY() const { return y + height / 2; }
    Size size() const { return {width, height}; }
    // Half-open: a point on the right or bottom edge is already outside, as the pixel at that
    // place lies outside.
    bool contains(QPointF point) const {
        return point.x() >= minX() && point.x() < maxX() && point.y() >= minY() &&
               point.y() < maxY();
    }

    friend bool operator==(const Rect&, const Rect&) = default;
};

struct WindowSpace {};
struct ScreenSpace {};

using WindowRect = Rect<WindowSpace>;
using ScreenRect = Rect<ScreenSpace>;

// Conversions between the two spaces, given the height of the primary monitor (whose top-left
// is the origin of window space and whose bottom-left is the origin of screen space).
inline ScreenRect toScreenSpace(const WindowRect& r, double primaryHeight) {
    return {r.x, primaryHeight - r.maxY(), r.width, r.height};
}
inline WindowRect toWindowSpace(const ScreenRect& r, double primaryHeight) {
    return {r.x, primaryHeight - r.maxY(), r.width, r.height};
}

}  // namespace tessora
