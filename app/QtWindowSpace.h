#pragma once

#include "core/Geometry.h"

#include <QPointF>
#include <QRect>

namespace tessora {

// Between Qt's global coordinates and window space, as our own windows are placed. Both count
// points (Qt's logical pixels); window space has its origin at the primary monitor's top-left,
// where Qt keeps the primary screen's top-left at its device position, so the two differ by
// that origin alone. Without a screen both are taken as the same. Qt keeps every other screen's
// top-left at its device position too, so on a scaled desktop with several monitors a point
// beyond the primary one lands where Qt puts that position, not where window space has it.
QRect toQtGeometry(const WindowRect& frame);
WindowRect fromQtGeometry(const QRect& geometry);
QPointF toQtPoint(QPointF windowPoint);

}  // namespace tessora
