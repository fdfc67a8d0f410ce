#pragma once

#include <QColor>

namespace tessora::palette {

// The colours every view of the system is drawn with.
inline QColor windowBackground() {
    return QColor(15, 13, 24);
}
inline QColor accent() {
    return QColor(183, 159, 255);
}
inline QColor surface() {
    return QColor::fromRgbF(1, 1, 1, 0.045f);
}
inline QColor hairline() {
    return QColor::fromRgbF(1, 1, 1, 0.12f);
}
inline QColor secondaryText() {
    return QColor::fromRgbF(1, 1, 1, 0.58f);
}
inline QColor alertRed() {
    return QColor(217, 54, 54);
}
// Red for text that asks for attention: brighter than alertRed, which is made to carry white
// text, so that it stays legible on the dark background.
inline QColor attentionText() {
    return QColor(255, 69, 58);
}

// `top` composed over `bottom` (source-over), the colour a pixel ends up with.
QColor over(const QColor& top, const QColor& bottom);
// The colour a fraction `t` of the way from `from` to `to`, alpha included.
QColor mix(const QColor& from, const QColor& to, qreal t);

}  // namespace tessora::palette
