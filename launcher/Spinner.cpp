#include "launcher/Spinner.h"

#include <QPainter>
#include <QVariantAnimation>

namespace tessora {

namespace {
constexpr int spokes = 8;
}

Spinner::Spinner(QWidget* parent) : QWidget(parent), m_turn(new QVariantAnimation(this)) {
    setFixedSize(20, 20);
    setAccessibleName(QStringLiteral("Scanning applications"));
    m_turn->setStartValue(0);
    m_turn->setEndValue(spokes);
    m_turn->setDuration(800);
    m_turn->setLoopCount(-1);
    connect(m_turn, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
}

void Spinner::showEvent(QShowEvent*) {
    m_turn->start();
}

void Spinner::hideEvent(QHideEvent*) {
    m_turn->stop();
}

void Spinner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    const int lead = m_turn->currentValue().toInt() % spokes;
    for (int i = 0; i < spokes; ++i) {
        // The leading spoke is brightest; the ones behind it fade.
        const int behind = (lead - i + spokes) % spokes;
        QColor colour = Qt::white;
        colour.setAlphaF(1.0f - 0.11f * static_cast<float>(behind));
        painter.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
        painter.save();
        painter.rotate(360.0 * i / spokes);
        painter.drawLine(QPointF(0, -4.5), QPointF(0, -8.5));
        painter.restore();
    }
}

}  // namespace tessora
