#include "preferences/OrrerySwitch.h"

#include "preferences/ComponentAccessibility.h"
#include "preferences/Layer.h"
#include "preferences/Palette.h"
#include "preferences/Shadow.h"
#include "preferences/Shapes.h"

#include <QPainter>

namespace tessora {

namespace {

// The common "ease-out" timing curve: cubic Bézier (0, 0) (0.58, 1).
QEasingCurve easeOut() {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0, 0), QPointF(0.58, 1), QPointF(1, 1));
    return curve;
}

}  // namespace

OrrerySwitch::OrrerySwitch(const QString& label, QWidget* parent) : QAbstractButton(parent) {
    installComponentAccessibility();
    // The label goes to the accessible name, not the button text, which would turn an "&" into a
    // keyboard mnemonic for a text nobody sees.
    setAccessibleName(label);
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    m_animation.setDuration(kSlideMs);
    m_animation.setEasingCurve(easeOut());
    connect(&m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_knob = value.toReal();
        update();
    });
    connect(this, &QAbstractButton::toggled, this, &OrrerySwitch::followCheckedState);
}

QSize OrrerySwitch::sizeHint() const {
    return kTrackSize;
}

QSize OrrerySwitch::minimumSizeHint() const {
    return kTrackSize;
}

void OrrerySwitch::nextCheckState() {
    m_flippedByUser = true;
    QAbstractButton::nextCheckState();
    m_flippedByUser = false;
}

void OrrerySwitch::followCheckedState(bool checked) {
    const qreal target = checked ? 1.0 : 0.0;
    m_animation.stop();
    if (m_flippedByUser) {
        // From wherever the knob is, so that a quick second flip turns it around mid-way.
        m_animation.setStartValue(m_knob);
        m_animation.setEndValue(target);
        m_animation.start();
        return;
    }
    m_knob = target;
    update();
}

QRectF OrrerySwitch::trackRect() const {
    // Centred in whatever the layout gives us; the track keeps its size.
    const QSizeF track(kTrackSize);
    return QRectF(QPointF((width() - track.width()) / 2, (height() - track.height()) / 2), track);
}

QRectF OrrerySwitch::knobRect() const {
    const QRectF track = trackRect();
    const qreal run = track.width() - 2 * kKnobInset - kKnobSize.width();
    qreal along = run * m_knob;
    if (layoutDirection() == Qt::RightToLeft) {
        along = run - along;
    }
    return QRectF(track.topLeft() + QPointF(kKnobInset + along, kKnobInset), kKnobSize);
}

void OrrerySwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal opacity = isEnabled() ? 1.0 : 0.45;
    paintLayer(painter, rect(), opacity, [this](QPainter& p) {
        const QRectF track = trackRect();
        const QColor offTrack = QColor::fromRgbF(1, 1, 1, 0.16f);
        p.fillPath(capsule(track), palette::mix(offTrack, palette::accent(), m_knob));
        if (showsKeyboardFocus(*this)) {
            const QColor ring = m_knob > 0.5 ? QColor::fromRgbF(1, 1, 1, 0.85f) : palette::accent();
            p.strokePath(capsule(track.adjusted(0.75, 0.75, -0.75, -0.75)), QPen(ring, 1.5));
        }
        const QPainterPath knob = continuousRoundedRect(knobRect(), 11);
        paintShadow(p, knob, QColor::fromRgbF(0, 0, 0, 0.24f), 2, QPointF(0, 1));
        const QColor offKnob = QColor::fromRgbF(1, 1, 1, 0.85f);
        p.fillPath(knob, palette::mix(offKnob, palette::windowBackground(), m_knob));
    });
}

}  // namespace tessora
