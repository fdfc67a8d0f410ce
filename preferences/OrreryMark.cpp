#include "preferences/BrandMarks.h"

#include <array>

namespace tessora {

namespace {

// A pane in the unit square with its own radius per corner (top-left, top-right, bottom-right,
// bottom-left). Corners are quarter-circle-like cubics, eased a little longer into the edges.
struct Pane {
    qreal left, top, right, bottom;
    std::array<qreal, 4> radii;
};

// How far a corner of radius 1 reaches along each edge, and where its control points sit.
constexpr qreal kReach = 1.18;
constexpr qreal kHandle = 0.50;

// The window is 0.54 + 0.08 + 0.38 wide; its left column splits low, its right column high.
constexpr qreal kOuter = 0.17;
constexpr qreal kInner = 0.055;
constexpr std::array<Pane, 4> kPanes{{
    {0.00, 0.00, 0.54, 0.58, {kOuter, kInner, kInner, kInner}},
    {0.62, 0.00, 1.00, 0.34, {kInner, kOuter, kInner, kInner}},
    {0.62, 0.42, 1.00, 1.00, {kInner, kInner, kOuter, kInner}},
    {0.00, 0.66, 0.54, 1.00, {kInner, kInner, kInner, kOuter}},
}};

void addPane(QPainterPath& path, const Pane& pane, const QRectF& rect) {
    const auto at = [&rect](qreal x, qreal y) {
        return QPointF(rect.left() + x * rect.width(), rect.top() + y * rect.height());
    };
    const auto& [tl, tr, br, bl] = pane.radii;
    const qreal l = pane.left, t = pane.top, r = pane.right, b = pane.bottom;
    const qreal h = kReach * (1 - kHandle);  // control point distance from the corner, per radius

    path.moveTo(at(l + tl * kReach, t));
    path.lineTo(at(r - tr * kReach, t));
    path.cubicTo(at(r - tr * h, t), at(r, t + tr * h), at(r, t + tr * kReach));
    path.lineTo(at(r, b - br * kReach));
    path.cubicTo(at(r, b - br * h), at(r - br * h, b), at(r - br * kReach, b));
    path.lineTo(at(l + bl * kReach, b));
    path.cubicTo(at(l + bl * h, b), at(l, b - bl * h), at(l, b - bl * kReach));
    path.lineTo(at(l, t + tl * kReach));
    path.cubicTo(at(l, t + tl * h), at(l + tl * h, t), at(l + tl * kReach, t));
    path.closeSubpath();
}

}  // namespace

QPainterPath orreryMark(const QRectF& rect) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const Pane& pane : kPanes) {
        addPane(path, pane, rect);
    }
    return path;
}

}  // namespace tessora
