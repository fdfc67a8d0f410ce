#include "launcher/ThinScrollBarStyle.h"

#include <QPainter>
#include <QStyleOptionSlider>
#include <algorithm>

namespace tessora {

namespace {

const QStyleOptionSlider* verticalBar(QStyle::ComplexControl control,
                                      const QStyleOptionComplex* option) {
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    return control == QStyle::CC_ScrollBar && slider && slider->orientation == Qt::Vertical
               ? slider
               : nullptr;
}

QRect groove(const QStyleOptionSlider& bar) {
    return bar.rect.adjusted(ThinScrollBarStyle::sideMargin, ThinScrollBarStyle::endMargin,
                             -ThinScrollBarStyle::sideMargin, -ThinScrollBarStyle::endMargin);
}

// The handle's length follows the share of the content in view.
QRect handle(const QStyleOptionSlider& bar) {
    const QRect track = groove(bar);
    const int range = bar.maximum - bar.minimum;
    const int length = range <= 0
                           ? track.height()
                           : std::clamp(static_cast<int>(static_cast<qint64>(track.height()) *
                                                         bar.pageStep / (range + bar.pageStep)),
                                        std::min(ThinScrollBarStyle::minimumHandle, track.height()),
                                        track.height());
    const int offset = QStyle::sliderPositionFromValue(bar.minimum, bar.maximum, bar.sliderPosition,
                                                       track.height() - length, bar.upsideDown);
    return QRect(track.left(), track.top() + offset, track.width(), length);
}

}  // namespace

ThinScrollBarStyle::ThinScrollBarStyle(QObject* parent) {
    setParent(parent);
}

int ThinScrollBarStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                    const QWidget* widget) const {
    switch (metric) {
        case PM_ScrollBarExtent:
            return barWidth;
        case PM_ScrollBarSliderMin:
            return minimumHandle;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QRect ThinScrollBarStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                         SubControl subControl, const QWidget* widget) const {
    const QStyleOptionSlider* bar = verticalBar(control, option);
    if (!bar) {
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    }
    const QRect track = groove(*bar);
    const QRect knob = handle(*bar);
    switch (subControl) {
        case SC_ScrollBarGroove:
            return track;
        case SC_ScrollBarSlider:
            return knob;
        case SC_ScrollBarSubPage:
            return QRect(track.left(), track.top(), track.width(), knob.top() - track.top());
        case SC_ScrollBarAddPage:
            return QRect(track.left(), knob.bottom() + 1, track.width(),
                         track.bottom() - knob.bottom());
        default:
            return {};  // no arrow buttons
    }
}

QStyle::SubControl ThinScrollBarStyle::hitTestComplexControl(ComplexControl control,
                                                             const QStyleOptionComplex* option,
                                                             const QPoint& point,
                                                             const QWidget* widget) const {
    const QStyleOptionSlider* bar = verticalBar(control, option);
    if (!bar) {
        return QProxyStyle::hitTestComplexControl(control, option, point, widget);
    }
    for (const SubControl part : {SC_ScrollBarSlider, SC_ScrollBarSubPage, SC_ScrollBarAddPage}) {
        if (subControlRect(control, option, part, widget).contains(point)) {
            return part;
        }
    }
    return SC_None;
}

void ThinScrollBarStyle::drawComplexControl(ComplexControl control,
                                            const QStyleOptionComplex* option, QPainter* painter,
                                            const QWidget* widget) const {
    const QStyleOptionSlider* bar = verticalBar(control, option);
    if (!bar) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    if (bar->maximum <= bar->minimum) {
        return;
    }
    const bool hovered =
        (bar->state & State_MouseOver) && (bar->activeSubControls & SC_ScrollBarSlider);
    const bool pressed = bar->state & State_Sunken;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(255, 255, 255, hovered || pressed ? 110 : 70));
    painter->drawRoundedRect(QRectF(handle(*bar)), handleRadius, handleRadius);
    painter->restore();
}

}  // namespace tessora
