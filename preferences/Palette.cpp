#include "preferences/Palette.h"

namespace tessora::palette {

QColor over(const QColor& top, const QColor& bottom) {
    const qreal a = top.alphaF();
    const qreal b = bottom.alphaF() * (1 - a);
    const qreal alpha = a + b;
    if (alpha <= 0) {
        return Qt::transparent;
    }
    const auto channel = [&](qreal t, qreal u) { return (t * a + u * b) / alpha; };
    return QColor::fromRgbF(static_cast<float>(channel(top.redF(), bottom.redF())),
                            static_cast<float>(channel(top.greenF(), bottom.greenF())),
                            static_cast<float>(channel(top.blueF(), bottom.blueF())),
                            static_cast<float>(alpha));
}

QColor mix(const QColor& from, const QColor& to, qreal t) {
    const auto lerp = [t](float a, float b) { return static_cast<float>(a + (b - a) * t); };
    return QColor::fromRgbF(lerp(from.redF(), to.redF()), lerp(from.greenF(), to.greenF()),
                            lerp(from.blueF(), to.blueF()), lerp(from.alphaF(), to.alphaF()));
}

}  // namespace tessora::palette
