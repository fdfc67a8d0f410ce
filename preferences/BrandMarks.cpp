#include "preferences/BrandMarks.h"

#include "preferences/ComponentAccessibility.h"
#include "preferences/Shadow.h"
#include "preferences/Shapes.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace tessora {

namespace {

QRectF centredSquare(const QRectF& area) {
    const qreal side = qMin(area.width(), area.height());
    return QRectF(area.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
}

QColor rgbF(qreal red, qreal green, qreal blue, qreal alpha = 1) {
    return QColor::fromRgbF(static_cast<float>(red), static_cast<float>(green),
                            static_cast<float>(blue), static_cast<float>(alpha));
}

// A radial glow centred at a fraction (x, y) of the tile, fading out over `reach` tile sides.
QRadialGradient glow(const QRectF& tile, qreal x, qreal y, qreal reach, const QColor& colour) {
    QRadialGradient gradient(tile.left() + x * tile.width(), tile.top() + y * tile.height(),
                             reach * tile.width());
    QColor clear = colour;
    clear.setAlpha(0);
    gradient.setColorAt(0, colour);
    gradient.setColorAt(1, clear);
    return gradient;
}

}  // namespace

void paintCasementLogo(QPainter& painter, const QRectF& tile) {
    const qreal side = tile.width();
    if (side <= 0) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = continuousRoundedRect(tile, side * 0.245);
    paintShadow(painter, shape, rgbF(0, 0, 0, 0.16), side * 0.025, QPointF(0, side * 0.012));

    QLinearGradient base(tile.topLeft(), tile.bottomRight());
    base.setColorAt(0, rgbF(0.72, 0.67, 1.0));
    base.setColorAt(0.5, rgbF(0.49, 0.41, 0.93));
    base.setColorAt(1, rgbF(0.35, 0.31, 0.69));
    painter.fillPath(shape, base);

    // The layers over the base fill the tile's shape rather than clip to it, and the rim is a
    // filled ring rather than a stroke: the SVG the icon is also drawn into knows no clipping
    // and no gradient pens.
    // Light falling in from the top left, a warmer violet bounce at the bottom right.
    painter.fillPath(shape, glow(tile, 0.2, 0.08, 0.7, rgbF(1, 1, 1, 0.34)));
    painter.fillPath(shape, glow(tile, 0.95, 1.0, 0.62, rgbF(0.86, 0.62, 1.0, 0.38)));
    // Sheen over the upper half, as on a glazed tile.
    QLinearGradient sheen(tile.topLeft(), QPointF(tile.left(), tile.top() + side * 0.55));
    sheen.setColorAt(0, rgbF(1, 1, 1, 0.20));
    sheen.setColorAt(1, rgbF(1, 1, 1, 0));
    painter.fillPath(shape, sheen);

    // A thin light rim, brighter where the light comes from.
    QLinearGradient rim(tile.topLeft(), tile.bottomLeft());
    rim.setColorAt(0, rgbF(1, 1, 1, 0.42));
    rim.setColorAt(1, rgbF(1, 1, 1, 0.10));
    const qreal rimWidth = qMax<qreal>(1, side * 0.012);
    QPainterPath ring = shape;
    ring.addPath(continuousRoundedRect(tile.adjusted(rimWidth, rimWidth, -rimWidth, -rimWidth),
                                       side * 0.245 - rimWidth));
    ring.setFillRule(Qt::OddEvenFill);
    painter.fillPath(ring, rim);

    const qreal markSide = side * 0.5;
    const QRectF markRect(tile.center() - QPointF(markSide / 2, markSide / 2),
                          QSizeF(markSide, markSide));
    const QPainterPath mark = orreryMark(markRect);
    paintShadow(painter, mark, rgbF(0.16, 0.1, 0.4, 0.32), side * 0.02, QPointF(0, side * 0.014));
    painter.fillPath(mark, Qt::white);
    painter.restore();
}

CasementSymbol::CasementSymbol(const QColor& color, QWidget* parent)
    : QWidget(parent), m_color(color) {
    installComponentAccessibility();
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void CasementSymbol::setColor(const QColor& color) {
    if (color == m_color) {
        return;
    }
    m_color = color;
    update();
    emit colorChanged(color);
}

void CasementSymbol::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(orreryMark(centredSquare(rect())), m_color);
}

CasementLogo::CasementLogo(QWidget* parent) : QWidget(parent) {
    installComponentAccessibility();
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QRectF CasementLogo::tileRect() const {
    return centredSquare(rect());
}

void CasementLogo::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintCasementLogo(painter, tileRect());
}

}  // namespace tessora
