#include "app/PracticeCard.h"

#include "preferences/Fonts.h"
#include "preferences/Palette.h"
#include "preferences/Shadow.h"
#include "preferences/Shapes.h"

#include <QAccessibleWidget>
#include <QLinearGradient>
#include <QPainter>

#include <mutex>

namespace tessora {

namespace {

// The card as one element: its name says what to press, its value whether it was seen. The
// description says both the state and the keys, since the accessibility bus carries no value
// in words: that is what a screen reader reads after the name.
class PracticeCardAccessible final : public QAccessibleWidget {
public:
    explicit PracticeCardAccessible(PracticeCard* card)
        : QAccessibleWidget(card, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override {
        const auto* card = static_cast<const PracticeCard*>(widget());
        switch (kind) {
            case QAccessible::Name:
                return QStringLiteral("Press ") + card->name();
            case QAccessible::Value:
                return card->stateText();
            case QAccessible::Description:
                return card->stateText() + QStringLiteral(", ") +
                       card->keys().join(QStringLiteral(" + "));
            default:
                return QAccessibleWidget::text(kind);
        }
    }
};

QAccessibleInterface* practiceCardAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(PracticeCard::staticMetaObject.className())) {
        if (auto* card = qobject_cast<PracticeCard*>(object)) {
            return new PracticeCardAccessible(card);
        }
    }
    return nullptr;
}

void installPracticeCardAccessibility() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(practiceCardAccessible); });
}

}  // namespace

PracticeCard::PracticeCard(const QString& name, const QStringList& keys, QWidget* parent)
    : QWidget(parent), m_name(name), m_keys(keys) {
    installPracticeCardAccessibility();
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PracticeCard::setKeys(const QStringList& keys) {
    if (keys == m_keys) {
        return;
    }
    m_keys = keys;
    updateGeometry();
    update();
    emit keysChanged();
}

void PracticeCard::setVerified(bool verified) {
    if (verified == m_verified) {
        return;
    }
    m_verified = verified;
    update();
    QAccessibleValueChangeEvent change(this, stateText());
    QAccessible::updateAccessibility(&change);
    QAccessibleEvent description(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&description);
    emit verifiedChanged();
}

QString PracticeCard::stateText() const {
    return m_verified ? QStringLiteral("Verified") : QStringLiteral("Waiting");
}

int PracticeCard::capsWidth() const {
    const auto count = static_cast<int>(m_keys.size());
    return count == 0 ? 0 : count * kCapSide + (count - 1) * kCapSpacing;
}

QSize PracticeCard::sizeHint() const {
    // A recorded shortcut of many keys widens its card rather than squeezing the caps.
    return {qMax(kContentWidth, capsWidth()) + 2 * kPadding, kCapSide + 2 * kPadding};
}

QRectF PracticeCard::capRect(int index) const {
    const qreal left = (width() - capsWidth()) / 2.0 + index * (kCapSide + kCapSpacing);
    return QRectF(left, (height() - kCapSide) / 2.0, kCapSide, kCapSide);
}

void PracticeCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = palette::surface();
    fill.setAlphaF(fill.alphaF() * 0.45f);
    painter.fillPath(continuousRoundedRect(rect(), kRadius), fill);
    for (int i = 0; i < m_keys.size(); ++i) {
        paintCap(painter, capRect(i), m_keys.at(i));
    }
}

void PracticeCard::paintCap(QPainter& painter, const QRectF& cap, const QString& text) const {
    const QPainterPath base = continuousRoundedRect(cap, 9);
    paintShadow(painter, base, QColor::fromRgbF(0, 0, 0, 0.45f), 1, QPointF(0, 3));
    painter.fillPath(base, m_verified ? QColor(209, 209, 214) : QColor(27, 27, 30));

    const QRectF face = cap.adjusted(3, 3, -3, -3);
    QLinearGradient shade(face.topLeft(), face.bottomLeft());
    if (m_verified) {
        shade.setColorAt(0, QColor(255, 255, 255));
        shade.setColorAt(1, QColor(234, 234, 238));
    } else {
        shade.setColorAt(0, QColor(59, 59, 62));
        shade.setColorAt(1, QColor(45, 45, 49));
    }
    painter.fillPath(continuousRoundedRect(face, 7), shade);
    const QColor border =
        m_verified ? QColor::fromRgbF(0, 0, 0, 0.10f) : QColor::fromRgbF(1, 1, 1, 0.12f);
    painter.strokePath(insideBorder(face, 7), QPen(border, 1));

    painter.setFont(systemFont(text.size() == 1 ? 17 : 13, QFont::DemiBold));
    painter.setPen(m_verified ? palette::windowBackground() : QColor(Qt::white));
    painter.drawText(cap, Qt::AlignCenter, text);
}

}  // namespace tessora
