#include "preferences/OrreryButton.h"

#include "preferences/ComponentAccessibility.h"
#include "preferences/Fonts.h"
#include "preferences/Layer.h"
#include "preferences/Palette.h"
#include "preferences/Shapes.h"

#include <QPainter>
#include <QtMath>

namespace tessora {

OrreryButton::OrreryButton(const QString& text, QWidget* parent)
    : OrreryButton(text, false, false, parent) {}

OrreryButton::OrreryButton(const QString& text, bool primary, bool destructive, QWidget* parent)
    : QAbstractButton(parent), m_primary(primary), m_destructive(destructive) {
    installComponentAccessibility();
    setText(text);
    setFont(manrope(12, QFont::Bold));
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
}

void OrreryButton::setPrimary(bool primary) {
    if (primary == m_primary) {
        return;
    }
    m_primary = primary;
    update();
    emit primaryChanged(primary);
}

void OrreryButton::setDestructive(bool destructive) {
    if (destructive == m_destructive) {
        return;
    }
    m_destructive = destructive;
    update();
    emit destructiveChanged(destructive);
}

QSize OrreryButton::sizeHint() const {
    const int textWidth = qCeil(QFontMetricsF(font()).horizontalAdvance(text()));
    return {textWidth + 2 * kPadding, kHeight};
}

QSize OrreryButton::minimumSizeHint() const {
    return sizeHint();
}

void OrreryButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font());
    const qreal opacity = !isEnabled() ? 0.45 : isDown() ? 0.7 : 1.0;
    paintLayer(painter, rect(), opacity, [this](QPainter& p) {
        const QRectF plate = rect();
        QColor fill = palette::surface();
        QColor ink = Qt::white;
        bool bordered = true;
        if (m_primary) {
            fill = palette::accent();
            ink = palette::windowBackground();
            bordered = false;
        } else if (m_destructive) {
            fill = palette::alertRed();
        }
        p.fillPath(continuousRoundedRect(plate, kRadius), fill);
        if (bordered) {
            p.strokePath(insideBorder(plate, kRadius), QPen(palette::hairline(), 1));
        }
        if (showsKeyboardFocus(*this)) {
            const QColor ring = m_primary ? palette::windowBackground() : palette::accent();
            p.strokePath(continuousRoundedRect(plate.adjusted(1.5, 1.5, -1.5, -1.5), kRadius - 1.5),
                         QPen(ring, 1.5));
        }
        const QRectF label = plate.adjusted(kPadding, 0, -kPadding, 0);
        p.setPen(ink);
        p.drawText(label, Qt::AlignCenter,
                   QFontMetricsF(p.font()).elidedText(text(), Qt::ElideRight, label.width()));
    });
}

}  // namespace tessora
