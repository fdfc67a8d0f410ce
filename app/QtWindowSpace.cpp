#include "app/QtWindowSpace.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace tessora {

namespace {

QPointF primaryOrigin() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? QPointF(primary->geometry().topLeft()) : QPointF();
}

int rounded(double value) {
    return static_cast<int>(std::lround(value));
}

}  // namespace

QRect toQtGeometry(const WindowRect& frame) {
    const QPointF topLeft = primaryOrigin() + QPointF(frame.x, frame.y);
    return QRect(rounded(topLeft.x()), rounded(topLeft.y()), rounded(frame.width),
                 rounded(frame.height));
}

WindowRect fromQtGeometry(const QRect& geometry) {
    const QPointF topLeft = QPointF(geometry.topLeft()) - primaryOrigin();
    return {topLeft.x(), topLeft.y(), double(geometry.width()), double(geometry.height())};
}

QPointF toQtPoint(QPointF windowPoint) {
    return primaryOrigin() + windowPoint;
}

}  // namespace tessora
