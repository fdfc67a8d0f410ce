#pragma once

#include <QPainterPath>
#include <QRectF>

namespace tessora {

// A rounded rectangle with "continuous" corners: the curvature eases in along the edges instead
// of starting abruptly as a circular arc does, so the corners read softer at the same radius.
// When the rectangle is too small for the eased corner the shape falls back to circular arcs of
// the same radius (at most half the shorter side).
QPainterPath continuousRoundedRect(const QRectF& rect, qreal radius);

// A rectangle whose short sides are half circles.
QPainterPath capsule(const QRectF& rect);

// A 1 px border drawn inside `rect`'s shape: the outline of the rectangle inset by half a pixel,
// to be stroked with a 1 px pen.
QPainterPath insideBorder(const QRectF& rect, qreal radius);

}  // namespace tessora
