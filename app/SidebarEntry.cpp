#include "app/SidebarEntry.h"

#include "app/PreferencesAccessibility.h"
#include "preferences/ComponentAccessibility.h"
#include "preferences/Fonts.h"
#include "preferences/Layer.h"
#include "preferences/Palette.h"
#include "preferences/Shapes.h"

#include <QAccessible>
#include <QPainter>
#include <QtMath>

namespace tessora {

SidebarEntry::SidebarEntry(const QString& title, std::function<QPainterPath(const QRectF&)> symbol,
                           QWidget* parent)
    : QAbstractButton(parent), m_symbol(std::move(symbol)) {
    installPreferencesAccessibility();
    setText(title);
    setFont(manrope(12, QFont::Medium));
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void SidebarEntry::setSelected(bool selected) {
    if (selected == m_selected) {
        return;
    }
    m_selected = selected;
    setFont(manrope(12, selected ? QFont::Bold : QFont::Medium));
    update();
    QAccessible::State changed;
    changed.selected = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
    emit selectedChanged(selected);
}

void SidebarEntry::setAccessory(QWidget* accessory) {
    delete m_accessory;
    m_accessory = accessory;
    if (accessory != nullptr) {
        accessory->setParent(this);
        placeAccessory();
    }
}

QColor SidebarEntry::inkColour() const {
    return m_selected ? palette::windowBackground() : palette::secondaryText();
}

QSize SidebarEntry::sizeHint() const {
    const int title = qCeil(QFontMetricsF(manrope(12, QFont::Bold)).horizontalAdvance(text()));
    const int accessory = m_accessory != nullptr ? kSpacing + m_accessory->sizeHint().width() : 0;
    return {2 * kPadding + kSymbolWidth + kSpacing + title + accessory, kHeight};
}

void SidebarEntry::resizeEvent(QResizeEvent* event) {
    QAbstractButton::resizeEvent(event);
    placeAccessory();
}

void SidebarEntry::placeAccessory() {
    if (m_accessory == nullptr) {
        return;
    }
    const QSize size = m_accessory->sizeHint();
    m_accessory->setGeometry(width() - kPadding - size.width(), (height() - size.height()) / 2,
                             size.width(), size.height());
}

void SidebarEntry::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintLayer(painter, rect(), isDown() ? 0.7 : 1.0, [this](QPainter& p) {
        const QRectF plate = rect();
        if (m_selected) {
            p.fillPath(continuousRoundedRect(plate, kRadius), palette::accent());
        }
        if (showsKeyboardFocus(*this)) {
            p.strokePath(
                continuousRoundedRect(plate.adjusted(0.75, 0.75, -0.75, -0.75), kRadius - 0.75),
                QPen(m_selected ? palette::windowBackground() : palette::accent(), 1.5));
        }
        const QColor ink = inkColour();
        const QRectF symbolFrame(kPadding, (height() - kSymbolWidth) / 2.0, kSymbolWidth,
                                 kSymbolWidth);
        p.fillPath(m_symbol(symbolFrame), ink);

        const qreal titleLeft = kPadding + kSymbolWidth + kSpacing;
        qreal titleRight = width() - kPadding;
        if (m_accessory != nullptr && m_accessory->isVisible()) {
            titleRight = m_accessory->x() - kSpacing;
        }
        const QRectF titleRect(titleLeft, 0, qMax<qreal>(0, titleRight - titleLeft), height());
        p.setFont(font());
        p.setPen(ink);
        p.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetricsF(font()).elidedText(text(), Qt::ElideRight, titleRect.width()));
    });
}

}  // namespace tessora
