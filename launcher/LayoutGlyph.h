#pragma once

#include "workspace/WindowLayout.h"

#include <QRectF>
#include <QSizeF>
#include <optional>
#include <vector>

class QPainter;

namespace tessora {

// The small picture of a layout: its regions as rounded tiles inside a frame, 6 in from every
// side, with 1.5 between neighbours; the Chain layout adds a dark circle with a two-way arrow.
// Hidden from accessibility (the item around it speaks for it).
namespace layoutglyph {

inline constexpr double inset = 6;
inline constexpr double gap = 1.5;
inline constexpr double tileRadius = 3;
inline constexpr double badgeDiameter = 22;

// One tile per region, in region order, relative to the glyph's top-left corner.
std::vector<QRectF> regionRects(const WindowLayout& layout, QSizeF size);

// The Chain layout's circle, centred on the glyph; none for every other layout.
std::optional<QRectF> chainBadgeRect(const WindowLayout& layout, QSizeF size);

// Draws the glyph into `frame`; `selected` makes the tiles brighter.
void paint(QPainter& painter, const QRectF& frame, const WindowLayout& layout, bool selected);

}  // namespace layoutglyph

}  // namespace tessora
