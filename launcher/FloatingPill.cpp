#include "launcher/FloatingPill.h"

#include "platform/WindowSystem.h"
#include "preferences/Shadow.h"

#include <QBitmap>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>

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

void FloatingPill::paintCastShadow(QPainter& painter, double radius) const {
    constexpr double kBlur = 1.5;
    constexpr double kLift = 1.5;  // how far the light seems to come from above
    const QRectF outline(rect());
    // What lies around the pill, moved up into it: blurred, it darkens the rim from the
    // inside, the lower edge most.
    QPainterPath around;
    around.addRect(outline.adjusted(-8, -8, 8, 8));
    QPainterPath pill;
    pill.addRoundedRect(outline, radius, radius);
    painter.save();
    painter.setClipPath(pill);
    paintShadow(painter, around.subtracted(pill), QColor::fromRgbF(0, 0, 0, 0.32f), kBlur,
                QPointF(0, -kLift));
    painter.restore();
}

void FloatingPill::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        update();  // the desktop switched between light and dark
    }
    QWidget::changeEvent(event);
}

}  // namespace tessora
