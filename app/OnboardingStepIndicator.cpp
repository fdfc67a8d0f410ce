#include "app/OnboardingStepIndicator.h"

#include "preferences/Palette.h"
#include "preferences/Shapes.h"

#include <QPainter>

namespace tessora {

OnboardingStepIndicator::OnboardingStepIndicator(int stepCount, QWidget* parent)
    : QWidget(parent), m_stepCount(stepCount) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    describe();
}

void OnboardingStepIndicator::describe() {
    setAccessibleName(QStringLiteral("Step %1 of %2").arg(m_step + 1).arg(m_stepCount));
}

void OnboardingStepIndicator::setStep(int step) {
    if (step == m_step) {
        return;
    }
    m_step = step;
    describe();
    update();
}

int OnboardingStepIndicator::rowWidth() const {
    int width = 0;
    for (int i = 0; i < m_stepCount; ++i) {
        width += (i == m_step ? kCurrentWidth : kOtherWidth) + (i > 0 ? kSpacing : 0);
    }
    return width;
}

QRectF OnboardingStepIndicator::barRect(int index) const {
    qreal x = (width() - rowWidth()) / 2.0;
    for (int i = 0; i < index; ++i) {
        x += (i == m_step ? kCurrentWidth : kOtherWidth) + kSpacing;
    }
    return QRectF(x, kPadding, index == m_step ? kCurrentWidth : kOtherWidth, kBarHeight);
}

QSize OnboardingStepIndicator::sizeHint() const {
    return {rowWidth() + 2 * kPadding, kBarHeight + 2 * kPadding};
}

void OnboardingStepIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < m_stepCount; ++i) {
        painter.fillPath(capsule(barRect(i)),
                         i <= m_step ? palette::accent() : palette::hairline());
    }
}

}  // namespace tessora
