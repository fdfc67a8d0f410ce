#include "app/PreferencesSymbols.h"

#include <QPainterPathStroker>
#include <QtMath>

namespace tessora {

namespace {

// The outline of `path` as a band of `width`, to be filled.
QPainterPath band(const QPainterPath& path, qreal width) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setJoinStyle(Qt::RoundJoin);
    stroker.setCapStyle(Qt::RoundCap);
    return stroker.createStroke(path);
}

QPainterPath roundedRect(const QRectF& rect, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

// A square of side `side` centred in `frame`.
QRectF centredSquare(const QRectF& frame, qreal side) {
    return QRectF(frame.center() - QPointF(side, side) / 2, QSizeF(side, side));
}

QPointF polar(const QPointF& centre, qreal radius, qreal degrees) {
    const qreal radians = qDegreesToRadians(degrees);
    return centre + QPointF(radius * qCos(radians), radius * qSin(radians));
}

}  // namespace

QPainterPath gearSymbol(const QRectF& frame) {
    const QRectF box = centredSquare(frame, frame.width() * 0.86);
    const QPointF centre = box.center();
    const qreal outer = box.width() / 2;
    const qreal root = outer * 0.76;
    constexpr int kTeeth = 8;
    constexpr qreal kStep = 360.0 / kTeeth;
    // Each tooth is a trapezoid: wider at its root than at its tip.
    constexpr qreal kTipHalf = 9.5;
    constexpr qreal kRootHalf = 15.5;

    QPainterPath gear;
    gear.setFillRule(Qt::OddEvenFill);
    for (int tooth = 0; tooth < kTeeth; ++tooth) {
        const qreal middle = tooth * kStep - 90;
        const QPointF points[] = {
            polar(centre, root, middle - kRootHalf), polar(centre, outer, middle - kTipHalf),
            polar(centre, outer, middle + kTipHalf), polar(centre, root, middle + kRootHalf)};
        if (tooth == 0) {
            gear.moveTo(points[0]);
        } else {
            gear.lineTo(points[0]);
        }
        for (int i = 1; i < 4; ++i) {
            gear.lineTo(points[i]);
        }
    }
    gear.closeSubpath();
    const qreal hole = outer * 0.34;
    gear.addEllipse(centre, hole, hole);
    return gear;
}

QPainterPath keyboardSymbol(const QRectF& frame) {
    const qreal width = frame.width() * 0.94;
    const qreal height = width * 0.64;
    const QRectF body(frame.center() - QPointF(width, height) / 2, QSizeF(width, height));
    const qreal line = width * 0.085;

    QPainterPath keyboard = band(
        roundedRect(body.adjusted(line / 2, line / 2, -line / 2, -line / 2), width * 0.14), line);
    // Two rows of five keys over a space bar, on an even grid inside the outline.
    const QRectF inner = body.adjusted(line * 2.2, line * 2.2, -line * 2.2, -line * 2.2);
    const qreal key = inner.height() * 0.26;
    const qreal rowStep = (inner.height() - key) / 2;
    constexpr int kKeysPerRow = 5;
    const qreal columnStep = (inner.width() - key) / (kKeysPerRow - 1);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < kKeysPerRow; ++column) {
            keyboard.addRoundedRect(
                QRectF(inner.left() + column * columnStep, inner.top() + row * rowStep, key, key),
                key * 0.25, key * 0.25);
        }
    }
    keyboard.addRoundedRect(
        QRectF(inner.left() + columnStep, inner.top() + 2 * rowStep, 2 * columnStep + key, key),
        key * 0.25, key * 0.25);
    return keyboard.simplified();
}

QPainterPath sidebarSymbol(const QRectF& frame) {
    const qreal width = frame.width();
    const qreal height = width * 0.78;
    const QRectF body(frame.center() - QPointF(width, height) / 2, QSizeF(width, height));
    const qreal line = width * 0.085;
    const QRectF outline = body.adjusted(line / 2, line / 2, -line / 2, -line / 2);

    QPainterPath sidebar = band(roundedRect(outline, width * 0.18), line);
    const qreal divider = outline.left() + outline.width() * 0.36;
    QPainterPath column;
    column.moveTo(divider, outline.top());
    column.lineTo(divider, outline.bottom());
    // Three short lines in the column: the sidebar's entries.
    const qreal indent = line * 1.9;
    for (int entry = 0; entry < 3; ++entry) {
        const qreal y = outline.top() + line * 2.3 + entry * line * 1.9;
        column.moveTo(outline.left() + indent, y);
        column.lineTo(divider - indent, y);
    }
    sidebar.addPath(band(column, line * 0.9));
    return sidebar.simplified();
}

QPainterPath exclamationSymbol(const QRectF& frame) {
    const qreal side = frame.width();
    const qreal cx = frame.center().x();
    const qreal top = frame.center().y() - side * 0.30;
    const qreal barBottom = frame.center().y() + side * 0.08;
    const qreal topHalf = side * 0.075;
    const qreal bottomHalf = side * 0.05;

    QPainterPath mark;
    // The bar: rounded at the top, narrowing to a rounded end.
    mark.moveTo(cx - topHalf, top + topHalf);
    mark.arcTo(QRectF(cx - topHalf, top, 2 * topHalf, 2 * topHalf), 180, -180);
    mark.lineTo(cx + bottomHalf, barBottom);
    mark.arcTo(QRectF(cx - bottomHalf, barBottom - bottomHalf, 2 * bottomHalf, 2 * bottomHalf), 0,
               -180);
    mark.closeSubpath();
    const qreal dot = side * 0.075;
    mark.addEllipse(QPointF(cx, frame.center().y() + side * 0.25), dot, dot);
    return mark;
}

}  // namespace tessora
