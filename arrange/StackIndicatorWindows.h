#pragma once

#include "arrange/WindowHandle.h"
#include "core/Geometry.h"
#include "platform/WindowSystem.h"

#include <QList>
#include <optional>

// The window system queries behind the window stack indicator: which stacked windows still
// exist, which of them are visible in the tile, and which one the user is working in.
namespace tessora::stackindicator {

// A stacked window still counts as in its tile while its frame overlaps the tile grown by this
// much on every side (window managers nudge frames by their decorations).
inline constexpr double tileSlack = 30;

// The windows of `tracked`, in order, whose application still runs and which still exist.
QList<WindowHandle> stillTracked(const WindowSystem& system, const QList<WindowHandle>& tracked);

// The windows of `tracked`, in order, that can be seen in `tile`: the application runs, the
// window is neither minimized nor full screen, its frame is readable, overlaps the tile grown by
// tileSlack and matches a normal-layer window of the same application on the current desktop.
// Fetches the window list once.
QList<WindowHandle> visibleInTile(const WindowSystem& system, const QList<WindowHandle>& tracked,
                                  const WindowRect& tile);

// The index in `list` of the window the user is working in: the focused, else the main window
// of the frontmost application; else the frontmost entry of the window list that matches one of
// `list`. None when nothing matches.
std::optional<int> activeWindowIndex(const WindowSystem& system, const QList<WindowHandle>& list);

}  // namespace tessora::stackindicator
