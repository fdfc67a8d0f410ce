#pragma once

#include "core/Geometry.h"

#include <QList>
#include <QPointF>
#include <optional>

namespace tessora {

// A monitor, in window space. `visibleFrame` leaves out panels and docks.
struct Screen {
    quint32 number = 0;  // stable for the monitor while it is connected
    WindowRect frame;
    WindowRect visibleFrame;
};

// Questions about the monitors that the window system lists, the primary one first (its frame's
// origin is (0, 0) in window space).

// The first screen whose frame holds `location` (window space); frames are half-open, so a
// point on the border between two monitors belongs to one of them only.
std::optional<Screen> screenContaining(const QList<Screen>& screens, QPointF location);

// The screen under `location` (the pointer, say), else the primary one when the location is
// unknown or off every screen; none without screens.
std::optional<Screen> screenAt(const QList<Screen>& screens, std::optional<QPointF> location);

// The height of the primary monitor, which converts between window and screen space; none
// without screens.
std::optional<double> primaryHeight(const QList<Screen>& screens);

}  // namespace tessora
