#include "preferences/Shapes.h"

#include <QtGlobal>

namespace tessora {

namespace {

// How far along each edge an eased corner of radius 1 reaches.
constexpr qreal kReach = 1.52866483;

// One eased corner at `corner`, entered along `from` (unit vector from the corner towards the
// edge the path comes from) and left along `to`. Three cubics, symmetric about the diagonal.
void addCorner(QPainterPath& path, QPointF corner, QPointF from, QPointF to, qreal r) {
    const auto at = [&](qreal along, qreal across) {
        return corner + from * along * r + to * across * r;
    };
    path.cubicTo(at(1.08849323, 0), at(0.86840689, 0), at(0.63149399, 0.07491100));
    path.cubicTo(at(0.37282392, 0.16905900), at(0.16905900, 0.37282392),
                 at(0.07491100, 0.63149399));
    path.cubicTo(at(0, 0.86840689), at(0, 1.08849323), at(0, kReach));
}

}  // namespace

QPainterPath continuousRoundedRect(const QRectF& rect, qreal radius) {
    QPainterPath path;
    if (rect.isEmpty()) {
        return path;
    }
    const qreal shorter = qMin(rect.width(), rect.height());
    radius = qMax<qreal>(0, radius);
    if (radius * kReach > shorter / 2) {
        const qreal r = qMin(radius, shorter / 2);
        path.addRoundedRect(rect, r, r);
        return path;
    }
    const qreal reach = radius * kReach;
    const QPointF right(1, 0), left(-1, 0), down(0, 1), up(0, -1);
    path.moveTo(rect.left() + reach, rect.top());
    path.lineTo(rect.right() - reach, rect.top());
    addCorner(path, rect.topRight(), left, down, radius);
    path.lineTo(rect.right(), rect.bottom() - reach);
    addCorner(path, rect.bottomRight(), up, left, radius);
    path.lineTo(rect.left() + reach, rect.bottom());
    addCorner(path, rect.bottomLeft(), right, up, radius);
    path.lineTo(rect.left(), rect.top() + reach);
    addCorner(path, rect.topLeft(), down, right, radius);
    path.closeSubpath();
    return path;
}

QPainterPath capsule(const QRectF& rect) {
    QPainterPath path;
    const qreal r = qMin(rect.width(), rect.height()) / 2;
    path.addRoundedRect(rect, r, r);
    return path;
}

QPainterPath insideBorder(const QRectF& rect, qreal radius) {
    return continuousRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), qMax<qreal>(0, radius - 0.5));
}

}  // namespace tessora
