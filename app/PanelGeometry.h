#pragma once

#include "core/Geometry.h"
#include "platform/Screens.h"

#include <QList>
#include <QPointF>
#include <optional>

namespace tessora {

// Where the launcher panel goes and which clicks count as "at the top of a screen". Written in
// screen space (origin at the bottom-left of the primary monitor, y up) where the rules are
// stated that way; the window system reports window space, converted here.

// The panel's top edge sits 80 px below the top of the visible frame, centred horizontally;
// it never reaches below the visible frame's bottom edge.
inline constexpr double panelTopInset = 80;

ScreenRect panelFrameOn(const ScreenRect& visibleFrame, Size panel);

// Whether `location` (window space) lies on a screen and at most `distance` below that screen's
// top edge: the strip where the tray and the top panel live.
bool nearTopOfScreen(const QList<Screen>& screens, QPointF location, double distance);

}  // namespace tessora
