#pragma once

#include <QPainterPath>
#include <QRectF>

namespace tessora {

// The small symbols of the settings window, drawn here rather than taken from the icon theme,
// which may lack them or draw them in another style. Each is a path to fill (odd-even), centred
// in `frame` and scaled to the frame's width, so it keeps its weight at any size.

// A cog with eight teeth and a hole: the settings page.
QPainterPath gearSymbol(const QRectF& frame);
// A keyboard seen from above: an outline with two rows of keys and a space bar.
QPainterPath keyboardSymbol(const QRectF& frame);
// A window with a column along its left side: hiding and showing the sidebar.
QPainterPath sidebarSymbol(const QRectF& frame);
// A heavy exclamation mark, a tapering bar over a dot.
QPainterPath exclamationSymbol(const QRectF& frame);

}  // namespace tessora
