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

    animation_.setDuration(kSlideMs);
    animation_.setEasingCurve(easeOut());
    connect(&animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        knob_ = value.toReal();
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
    flippedByUser_ = true;
    QAbstractButton::nextCheckState();
    flippedByUser_ = false;
}

void OrrerySwitch::followCheckedState(bool checked) {
    const qreal target = checked ? 1.0 : 0.0;
    animation_.stop();
    if (flippedByUser_) {
        // From wherever the knob is, so that a quick second flip turns it around mid-way.
        animation_.setStartValue(knob_);
        animation_.setEndValue(target);
        animation_.start();
        return;
    }
    knob_ = target;
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
    qreal along = run * knob_;
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
        p.fillPath(capsule(track), palette::mix(offTrack, palette::accent(), knob_));
        if (showsKeyboardFocus(*this)) {
            const QColor ring = knob_ > 0.5 ? QColor::fromRgbF(1, 1, 1, 0.85f) : palette::accent();
            p.strokePath(capsule(track.adjusted(0.75, 0.75, -0.75, -0.75)), QPen(ring, 1.5));
        }
        const QPainterPath knob = continuousRoundedRect(knobRect(), 11);
        paintShadow(p, knob, QColor::fromRgbF(0, 0, 0, 0.24f), 2, QPointF(0, 1));
        const QColor offKnob = QColor::fromRgbF(1, 1, 1, 0.85f);
        p.fillPath(knob, palette::mix(offKnob, palette::windowBackground(), knob_));
    });
}

}  // namespace tessora
