#include "app/QtWindowSpace.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace tessora {

namespace {

struct Mapping {
    QPointF origin;
    double ratio = 1.0;
};

Mapping primaryMapping() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) {
        return {};
    }
    return {QPointF(primary->geometry().topLeft()), primary->devicePixelRatio()};
}

int rounded(double value) {
    return static_cast<int>(std::lround(value));
}

}  // namespace

QRect toQtGeometry(const WindowRect& frame) {
    const Mapping m = primaryMapping();
    const QPointF topLeft = m.origin + QPointF(frame.x, frame.y) / m.ratio;
    return QRect(rounded(topLeft.x()), rounded(topLeft.y()), rounded(frame.width / m.ratio),
                 rounded(frame.height / m.ratio));
}

WindowRect fromQtGeometry(const QRect& geometry) {
    const Mapping m = primaryMapping();
    const QPointF topLeft = (QPointF(geometry.topLeft()) - m.origin) * m.ratio;
    return {topLeft.x(), topLeft.y(), geometry.width() * m.ratio, geometry.height() * m.ratio};
}

QPointF toQtPoint(QPointF windowPoint) {
    const Mapping m = primaryMapping();
    return m.origin + windowPoint / m.ratio;
}

}  // namespace tessora
