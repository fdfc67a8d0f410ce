#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointF>

class QImage;
class QPainter;

namespace tessora {

// Paints the soft shadow that `shape` casts: the shape filled with `colour`, moved by `offset` and
// blurred with a Gaussian of standard deviation `radius` (logical pixels). There is no compositor
// to draw shadows for us, so they are painted like anything else and clipped to the painter's
// device: callers leave room for them where they must show.
void paintShadow(QPainter& painter, const QPainterPath& shape, const QColor& colour, qreal radius,
                 QPointF offset);

// Blurs every channel of a premultiplied ARGB32 image in place (sigma in image pixels).
void gaussianBlur(QImage& image, qreal sigma);

}  // namespace tessora
