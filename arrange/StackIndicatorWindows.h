#pragma once

#include "arrange/WindowHandle.h"
#include "core/Geometry.h"
#include "platform/WindowSystem.h"

#include <QList>
#include <optional>

// The window system queries behind the window stack indicator: which stacked windows still
// exist, which of them are visible in the tile, and which one the user is working in. One check
// reads the window list once (WindowSystem::listWindows) and answers all three from it, reading
// only the stacked windows' own state besides.
namespace tessora::stackindicator {

// A stacked window still counts as in its tile while its frame overlaps the tile grown by this
// much on every side (window managers nudge frames by their decorations).
inline constexpr double tileSlack = 30;

// A stacked window with its frame as read (absent when it could not be read).
struct StackedWindow {
    WindowHandle handle;
    std::optional<WindowRect> frame;
};

// The windows of `tracked`, in order, that are still listed and whose application still has a
// listed window.
QList<WindowHandle> stillTracked(const WindowListing& listing, const QList<WindowHandle>& tracked);

// The windows of `tracked`, in order, that can be seen in `tile`: the application still has a
// listed window, the window is listed on screen in the normal layer, it is neither minimized
// nor full screen, and its frame is readable, overlaps the tile grown by tileSlack and matches
// the frame it is listed with. A window the listing does not show on screen is not read at all.
QList<StackedWindow> visibleInTile(const WindowSystem& system, const WindowListing& listing,
                                   const QList<WindowHandle>& tracked, const WindowRect& tile);

// The index in `windows` of the window the user is working in: the active window, else the
// frontmost window of the active window's application; else the stacked window nearest the
// front among the listed on-screen windows whose frame matches the one read. None when nothing
// matches.
std::optional<int> activeWindowIndex(const WindowListing& listing,
                                     const QList<StackedWindow>& windows);

}  // namespace tessora::stackindicator
