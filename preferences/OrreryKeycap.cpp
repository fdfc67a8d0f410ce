#include "preferences/OrreryKeycap.h"

#include "preferences/ComponentAccessibility.h"
#include "preferences/Fonts.h"
#include "preferences/Shadow.h"
#include "preferences/Shapes.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QtMath>

#include <array>
#include <utility>

namespace tessora {

namespace {

constexpr std::array<char16_t, 4> kModifierSymbols{u'\u2303', u'\u2325', u'\u21E7',
                                                   u'\u2318'};  // ⌃ ⌥ ⇧ ⌘

}  // namespace

QStringList keycaps(const QString& label) {
    QStringList caps;
    QString rest = label;
    bool matched = true;
    while (matched && !rest.isEmpty()) {
        matched = false;
        for (const char16_t symbol : kModifierSymbols) {
            if (rest.front() == QChar(symbol)) {
                caps.append(QString(QChar(symbol)));
                rest.remove(0, 1);
                matched = true;
                break;
            }
        }
    }
    const QString lower = rest.toLower();
    if (lower == u"esc" || lower == u"delete" || lower == u"return" || lower == u"tab") {
        rest = lower;
    }
    caps.append(rest.isEmpty() ? QStringLiteral("?") : rest);
    return caps;
}

QString keycapText(const QString& key) {
    static const std::array<std::pair<char16_t, const char*>, 4> names{{
        {u'\u2318', "Ctrl"},   // ⌘ Command
        {u'\u2303', "Super"},  // ⌃ Control
        {u'\u2325', "Alt"},    // ⌥ Option
        {u'\u21E7', "Shift"},  // ⇧ Shift
    }};
    if (key.size() == 1) {
        for (const auto& [symbol, name] : names) {
            if (key.front() == QChar(symbol)) {
                return QString::fromLatin1(name);
            }
        }
    }
    return key;
}

QStringList keycapTexts(const QString& label) {
    QStringList texts;
    for (const QString& key : keycaps(label)) {
        texts << keycapText(key);
    }
    return texts;
}

OrreryKeycap::OrreryKeycap(const QString& key, QWidget* parent) : QWidget(parent), m_key(key) {
    installComponentAccessibility();
    setFont(systemFont(14, QFont::DemiBold));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(displayText());
}

void OrreryKeycap::setKey(const QString& key) {
    if (key == m_key) {
        return;
    }
    m_key = key;
    setAccessibleName(displayText());
    updateGeometry();
    update();
    emit keyChanged(key);
}

QSize OrreryKeycap::capSize() const {
    const int textWidth = qCeil(QFontMetricsF(font()).horizontalAdvance(displayText()));
    return {qMax(kMinimumSide, textWidth + 2 * kPadding), kMinimumSide};
}

QSize OrreryKeycap::sizeHint() const {
    return capSize() + QSize(0, kShadowRoom);
}

QSize OrreryKeycap::minimumSizeHint() const {
    return sizeHint();
}

QRect OrreryKeycap::capRect() const {
    const QSize cap = capSize();
    // Centred horizontally; vertically the cap and its shadow room are centred together.
    const int top = (height() - cap.height() - kShadowRoom) / 2;
    return QRect(QPoint((width() - cap.width()) / 2, top), cap);
}

void OrreryKeycap::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

void OrreryKeycap::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF cap = capRect();

    const QPainterPath base = continuousRoundedRect(cap, 9);
    paintShadow(painter, base, QColor::fromRgbF(0, 0, 0, 0.45f), 1, QPointF(0, 3));
    painter.fillPath(base, QColor(27, 27, 30));

    const QRectF faceRect = cap.adjusted(3, 3, -3, -3);
    QLinearGradient shade(faceRect.topLeft(), faceRect.bottomLeft());
    shade.setColorAt(0, QColor(59, 59, 62));
    shade.setColorAt(1, QColor(45, 45, 49));
    painter.fillPath(continuousRoundedRect(faceRect, 7), shade);
    painter.strokePath(insideBorder(faceRect, 7), QPen(QColor::fromRgbF(1, 1, 1, 0.12f), 1));

    painter.setFont(font());
    painter.setPen(Qt::white);
    painter.drawText(cap, Qt::AlignCenter, displayText());
}

}  // namespace tessora
