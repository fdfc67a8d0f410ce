#pragma once

#include <QWidget>

namespace tessora {

// Where the first run is: one small bar per step in a centred row, the current step's long,
// the steps reached in the accent colour, those ahead as hairlines.
class OnboardingStepIndicator final : public QWidget {
    Q_OBJECT

public:
    OnboardingStepIndicator(int stepCount, QWidget* parent = nullptr);

    int step() const { return m_step; }
    void setStep(int step);

    // The bar of `index` in widget coordinates.
    QRectF barRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static constexpr int kPadding = 28;
    static constexpr int kSpacing = 7;
    static constexpr int kBarHeight = 5;
    static constexpr int kCurrentWidth = 25;
    static constexpr int kOtherWidth = 8;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int rowWidth() const;
    // Screen readers hear "Step 2 of 3".
    void describe();

    int m_stepCount;
    int m_step = 0;
};

}  // namespace tessora
