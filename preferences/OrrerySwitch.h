#pragma once

#include <QAbstractButton>
#include <QVariantAnimation>

namespace tessora {

// The on/off switch: a capsule track with a knob that slides to the trailing end when on. The
// label is not drawn (the row around the switch shows it); it names the switch for screen
// readers, which see a check box. Flipped by the user, the knob slides over 0.16 s; set from
// code, it jumps.
class OrrerySwitch : public QAbstractButton {
    Q_OBJECT

public:
    explicit OrrerySwitch(const QString& label = {}, QWidget* parent = nullptr);

    QString label() const { return accessibleName(); }
    void setLabel(const QString& label) { setAccessibleName(label); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Where the knob is: 0 at the leading end (off), 1 at the trailing end (on).
    qreal knobPosition() const { return m_knob; }
    // The knob's rectangle in widget coordinates.
    QRectF knobRect() const;
    // The slide, so that tests can move it to any point of its run without waiting.
    QVariantAnimation& knobAnimation() { return m_animation; }

    static constexpr QSize kTrackSize{58, 26};
    static constexpr QSizeF kKnobSize{32, 20};
    static constexpr qreal kKnobInset = 3;
    static constexpr int kSlideMs = 160;

protected:
    void paintEvent(QPaintEvent* event) override;
    void nextCheckState() override;

private:
    void followCheckedState(bool checked);
    QRectF trackRect() const;

    QVariantAnimation m_animation;
    qreal m_knob = 0;
    bool m_flippedByUser = false;
};

}  // namespace tessora
