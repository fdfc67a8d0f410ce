#include "launcher/FloatingPill.h"

#include "platform/WindowSystem.h"

#include <QBitmap>
#include <QEvent>
#include <QPainter>

namespace tessora {

FloatingPill::FloatingPill(WindowSystem& windows)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    // Created now, unmapped, so that it is marked as a panel before it is first shown.
    windows.preparePanelWindow(winId());
}

void FloatingPill::setShape(const QSize& size, double radius) {
    if (size == this->size() && !mask().isEmpty()) {
        return;
    }
    setFixedSize(size);
    QBitmap shape(size);
    shape.fill(Qt::color0);
    QPainter painter(&shape);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::color1);
    painter.drawRoundedRect(QRect(QPoint(0, 0), size), radius, radius);
    painter.end();
    setMask(shape);
}

void FloatingPill::place(const QPoint& position) {
    m_place.ask(*this, position);
}

void FloatingPill::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    m_place.moved(*this);
}

bool FloatingPill::isDark() const {
    return palette().color(QPalette::Window).lightness() < 128;
}

void FloatingPill::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        update();  // the desktop switched between light and dark
    }
    QWidget::changeEvent(event);
}

}  // namespace tessora
