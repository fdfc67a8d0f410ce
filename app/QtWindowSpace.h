#pragma once

#include "core/Geometry.h"

#include <QPointF>
#include <QRect>

namespace tessora {

// Between Qt's global coordinates (logical pixels) and window space (device pixels from the
// primary monitor's top-left, y down), as our own windows are placed. Qt keeps each screen's
// top-left at its device position and scales from there, so window space maps through the
// primary screen's origin and pixel ratio. Without a screen both are taken as the same.
QRect toQtGeometry(const WindowRect& frame);
WindowRect fromQtGeometry(const QRect& geometry);
QPointF toQtPoint(QPointF windowPoint);

}  // namespace tessora
