#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>

class QPainter;

namespace tessora::launcherpaint {

// White at an opacity, the launcher's one ink.
inline QColor white(double opacity) {
    return QColor::fromRgbF(1, 1, 1, static_cast<float>(opacity));
}

// Without a compositor the panel cannot be see-through: the backdrops are drawn as the solid
// colours that the translucent layers would give over the panel's dark base.
QColor panelBase();
QColor contentAreaFill();
QColor searchBarTop();
QColor searchBarBottom();

// The system font at a size in points (logical pixels) and weight.
QFont textFont(double size, QFont::Weight weight);

// A selection badge: the 1-based number in black on a white circle, optionally ringed.
void paintBadge(QPainter& painter, const QRectF& circle, int number, const QFont& font,
                bool ringed);

// A filled rounded rectangle with continuous corners.
void fillRounded(QPainter& painter, const QRectF& rect, double radius, const QColor& colour);

// The "chosen" mark of a layout row: a filled accent circle with the check knocked out.
void paintCheckCircle(QPainter& painter, const QRectF& circle, const QColor& knockout);

}  // namespace tessora::launcherpaint
