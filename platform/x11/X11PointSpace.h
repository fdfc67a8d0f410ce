#pragma once

#include "core/Geometry.h"

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <cmath>

namespace tessora::x11 {

// Between X root coordinates and window space, the one conversion of the backend: window space
// has its origin at the primary monitor's top-left and counts points, Qt's logical pixels,
// of which one is `ratio` X pixels in both directions on every monitor. Every X11 number that
// enters the system (monitors, work areas, frames, pointer positions) comes through here, and
// every one that leaves it (frames and positions written) goes back through here.
class PointSpace {
public:
    // A ratio that is not a positive number is taken as 1.
    explicit PointSpace(double ratio = 1.0)
        : m_ratio(std::isfinite(ratio) && ratio > 0 ? ratio : 1.0) {}

    double ratio() const { return m_ratio; }
    QPoint origin() const { return m_origin; }
    void setOrigin(QPoint primaryTopLeft) { m_origin = primaryTopLeft; }

    WindowRect toPoints(const QRect& pixels) const {
        const QPointF topLeft = toPoints(pixels.x(), pixels.y());
        return {topLeft.x(), topLeft.y(), pixels.width() / m_ratio, pixels.height() / m_ratio};
    }
    QPointF toPoints(int x, int y) const {
        return {(x - m_origin.x()) / m_ratio, (y - m_origin.y()) / m_ratio};
    }
    QPoint toPixels(double x, double y) const {
        return {toPixels(x) + m_origin.x(), toPixels(y) + m_origin.y()};
    }
    // A length (a width, a height) in X pixels.
    int toPixels(double length) const { return static_cast<int>(std::lround(length * m_ratio)); }

private:
    double m_ratio;
    QPoint m_origin;
};

}  // namespace tessora::x11
