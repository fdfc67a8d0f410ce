#include "launcher/Spinner.h"

#include <QPainter>
#include <QVariantAnimation>

namespace tessora {

namespace {
constexpr int spokes = 8;
}

Spinner::Spinner(QWidget* parent) : QWidget(parent), turn_(new QVariantAnimation(this)) {
    setFixedSize(20, 20);
    setAccessibleName(QStringLiteral("Scanning applications"));
    turn_->setStartValue(0);
    turn_->setEndValue(spokes);
    turn_->setDuration(800);
    turn_->setLoopCount(-1);
    connect(turn_, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
}

void Spinner::showEvent(QShowEvent*) {
    turn_->start();
}

void Spinner::hideEvent(QHideEvent*) {
    turn_->stop();
}

void Spinner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    const int lead = turn_->currentValue().toInt() % spokes;
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
