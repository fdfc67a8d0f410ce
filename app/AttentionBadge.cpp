#include "app/AttentionBadge.h"

#include "app/PreferencesAccessibility.h"
#include "app/PreferencesSymbols.h"
#include "preferences/Palette.h"

#include <QPainter>

namespace tessora {

QString attentionMessage(bool windowControlAvailable) {
    QStringList sentences;
    if (!windowControlAvailable) {
        sentences << AttentionBadge::tr("Window control is not available.");
    }
    return sentences.join(QLatin1Char(' '));
}

AttentionBadge::AttentionBadge(QWidget* parent) : QWidget(parent) {
    installPreferencesAccessibility();
    setObjectName(QStringLiteral("settingsAttentionBadge"));
    setFixedSize(kSide, kSide);
    hide();
}

void AttentionBadge::setMessage(const QString& message) {
    if (message == m_message) {
        return;
    }
    m_message = message;
    setAccessibleName(message);
    setToolTip(message.isEmpty() ? QString() : message + tr(" Open Settings to resolve."));
    setVisible(!message.isEmpty());
}

void AttentionBadge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::alertRed());
    painter.drawEllipse(QRectF(rect()));
    painter.fillPath(exclamationSymbol(QRectF(rect())), Qt::white);
}

}  // namespace tessora
