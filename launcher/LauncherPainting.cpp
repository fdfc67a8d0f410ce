#include "launcher/LauncherPainting.h"

#include "preferences/Fonts.h"
#include "preferences/Palette.h"
#include "preferences/Shapes.h"

#include <QPainter>
#include <QPainterPath>

namespace tessora::launcherpaint {

namespace {

QColor over(const QColor& top, double opacity, const QColor& below) {
    const auto mix = [&](double a, double b) { return a * opacity + b * (1 - opacity); };
    return QColor::fromRgbF(static_cast<float>(mix(top.redF(), below.redF())),
                            static_cast<float>(mix(top.greenF(), below.greenF())),
                            static_cast<float>(mix(top.blueF(), below.blueF())));
}

// The dark heads-up material the search bar is drawn on.
QColor material() {
    return QColor(38, 36, 44);
}

}  // namespace

QColor panelBase() {
    return palette::windowBackground();
}

// Grey 0.1 at 72 % over the base.
QColor contentAreaFill() {
    return over(QColor::fromRgbF(0.1f, 0.1f, 0.1f), 0.72, panelBase());
}

// Black at 96 % and grey 0.12 at 94 % over the material.
QColor searchBarTop() {
    return over(Qt::black, 0.96, material());
}
QColor searchBarBottom() {
    return over(QColor::fromRgbF(0.12f, 0.12f, 0.12f), 0.94, material());
}

QFont textFont(double size, QFont::Weight weight) {
    return systemFont(size, weight);
}

void paintBadge(QPainter& painter, const QRectF& circle, int number, const QFont& font,
                bool ringed) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::white);
    if (ringed) {
        painter.setPen(QPen(QColor::fromRgbF(0, 0, 0, 0.55f), 1));
        painter.drawEllipse(circle.adjusted(0.5, 0.5, -0.5, -0.5));
    } else {
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(circle);
    }
    painter.setPen(Qt::black);
    painter.setFont(font);
    painter.drawText(circle, Qt::AlignCenter, QString::number(number));
    painter.restore();
}

void fillRounded(QPainter& painter, const QRectF& rect, double radius, const QColor& colour) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(continuousRoundedRect(rect, radius), colour);
    painter.restore();
}

void paintCheckCircle(QPainter& painter, const QRectF& circle, const QColor& knockout) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::accent());
    painter.drawEllipse(circle);
    const double s = circle.width();
    QPainterPath check;
    check.moveTo(circle.left() + s * 0.28, circle.top() + s * 0.52);
    check.lineTo(circle.left() + s * 0.44, circle.top() + s * 0.67);
    check.lineTo(circle.left() + s * 0.72, circle.top() + s * 0.35);
    painter.setPen(QPen(knockout, s * 0.11, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(check);
    painter.restore();
}

}  // namespace tessora::launcherpaint
