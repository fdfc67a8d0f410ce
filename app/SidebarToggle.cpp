#include "app/SidebarToggle.h"

#include "app/PreferencesSymbols.h"
#include "preferences/ComponentAccessibility.h"
#include "preferences/Layer.h"
#include "preferences/Palette.h"

#include <QPainter>

namespace tessora {

SidebarToggle::SidebarToggle(const QString& name, QWidget* parent) : QAbstractButton(parent) {
    setAccessibleName(name);
    setToolTip(name);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::ArrowCursor);
    setFixedSize(kSide, kSide);
}

void SidebarToggle::setOpacity(qreal opacity) {
    if (opacity != m_opacity) {
        m_opacity = opacity;
        update();
    }
}

void SidebarToggle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintLayer(painter, rect(), m_opacity * (isDown() ? 0.7 : 1.0), [this](QPainter& p) {
        const QRectF disc = rect();
        p.setPen(Qt::NoPen);
        p.setBrush(palette::surface());
        p.drawEllipse(disc);
        const bool focused = showsKeyboardFocus(*this);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(focused ? palette::accent() : palette::hairline(), focused ? 1.5 : 1));
        const qreal inset = focused ? 0.75 : 0.5;
        p.drawEllipse(disc.adjusted(inset, inset, -inset, -inset));
        // The symbol at the size of 13 px text.
        const QRectF symbol(disc.center() - QPointF(7.5, 7.5), QSizeF(15, 15));
        p.fillPath(sidebarSymbol(symbol), Qt::white);
    });
}

}  // namespace tessora
