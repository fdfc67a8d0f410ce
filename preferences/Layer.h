#pragma once

#include <QRect>

#include <functional>

class QPainter;

namespace tessora {

// Paints what `draw` draws (in the same coordinates) as one layer at `opacity`: a button at 70 %
// fades as a whole, its border does not show through its fill. Opaque layers are drawn directly.
void paintLayer(QPainter& painter, const QRect& bounds, qreal opacity,
                const std::function<void(QPainter&)>& draw);

}  // namespace tessora
