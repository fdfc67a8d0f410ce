#pragma once

#include "arrange/WindowHandle.h"
#include "core/Clock.h"
#include "core/Geometry.h"
#include "core/Task.h"
#include "platform/WindowSystem.h"
#include "workspace/WindowLayout.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <chrono>
#include <optional>
#include <stop_token>

// Placement: gathers the standard windows of the selected applications on this desktop,
// gives each window a tile of the layout, moves the windows into their tiles with read-back
// verification, widens the tiles once around windows that refuse to become as small as their
// tile, raises the windows and reports what could not be placed, windows that stay out of their
// tiles included.
//
// Tiles: position k of an application in the selection is its own tile k, which its first
// (focused) window takes; its further windows take the tiles after the applications' own, in
// window-list order. Every tile at or beyond the layout's last region shares that region's
// frame, so surplus windows pile up in the last region: the stacked tile. A tile whose
// application shows no window stays empty.
namespace tessora {

// Pause after all windows were found, so that freshly launched applications finish placing
// their windows before they are moved.
inline constexpr Clock::Duration kCollectSettleTime = std::chrono::milliseconds(500);
// A window that stays larger than its tile by more than this refuses to shrink.
inline constexpr double kRefusesToShrinkBy = 5.0;

struct PlacementResult {
    // One line per problem: all missing applications first (selection order), then the
    // windows that became unavailable or stayed out of their tiles (window-list order).
    QStringList messages;
    // The frame of the layout's last region; absent when the selection and the extra windows
    // of its applications need fewer tiles than the layout has regions.
    std::optional<WindowRect> stackFrame;
    // The windows that ended up in the stacked tile, in window-list order (the last is on top).
    WindowHandles stackedWindows;
};

QString noAvailableWindowMessage(const InstalledApp& app);
QString windowUnavailableMessage(const InstalledApp& app);
// A window that is still elsewhere after the verified writes, for no reason of its own sizes or
// of the window manager's keeping it on screen: it moved itself back or ignored the request.
QString notPlacedMessage(const InstalledApp& app);
QString couldNotOpenMessage(const InstalledApp& app, const QString& description);

// Why an application could not be launched, by id.
using LaunchErrors = QHash<QString, QString>;

// Waits for the windows of every application at once (launching those that do not run,
// without activating them), pauses briefly, and lists each application's standard windows in
// selection order, its focused window first. The applications that could not be launched are
// noted in `launchErrors` when given.
Task<WindowHandles> collectWindows(WindowSystem& system, Clock& clock, QList<InstalledApp> apps,
                                   std::stop_token stop, LaunchErrors* launchErrors = nullptr);

// Arranges the windows of `apps` (in selection order) in `layout`'s regions of `area`, tiles
// `gap` points apart. Never fails: every problem becomes a message. When stopped, the waits end
// and no further writes are made; it finishes with what was placed.
Task<PlacementResult> placeWindows(WindowSystem& system, Clock& clock, WindowLayout layout,
                                   QList<InstalledApp> apps, WindowRect area, double gap,
                                   std::stop_token stop);

}  // namespace tessora
