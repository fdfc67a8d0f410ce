#include "arrange/WindowAccess.h"

#include "core/Sleep.h"
#include "core/TaskGroup.h"

#include <QLoggingCategory>
#include <algorithm>
#include <cmath>

namespace tessora::windows {

namespace {
Q_LOGGING_CATEGORY(lcWindows, "tessora.arrange.windows")

bool matchesAny(const WindowRect& frame, const QList<WindowRect>& bounds) {
    return std::any_of(bounds.begin(), bounds.end(),
                       [&](const WindowRect& b) { return framesApproximatelyEqual(frame, b); });
}

// A frame the window system can be asked for: finite numbers and a size that is not empty.
bool isWritable(const WindowRect& f) {
    return std::isfinite(f.x) && std::isfinite(f.y) && std::isfinite(f.width) &&
           std::isfinite(f.height) && f.width > 0 && f.height > 0;
}

Task<void> probeOneWidth(WindowSystem& system, Clock& clock, WindowId window, WindowRect probe,
                         QList<double>* widths, qsizetype index, std::stop_token stop) {
    const std::optional<WindowRect> read =
        co_await setWindowFrame(system, clock, window, probe, std::move(stop));
    (*widths)[index] = read ? std::max(probe.width, read->width) : probe.width;
}

// An entry belongs to the application when the window manager matched it to the same
// application id, or when both sides know the pid and it is the same. Neither alone is enough
// on X11: many clients do not set _NET_WM_PID, and one process (a browser, a terminal server)
// may serve windows that were matched to several applications.
template <typename Entry>
bool belongsTo(const Entry& entry, const RunningApplication& app) {
    const bool sameApp = !entry.appId.isEmpty() && entry.appId == app.id;
    const bool samePid = entry.pid != 0 && app.pid != 0 && entry.pid == app.pid;
    return sameApp || samePid;
}

}  // namespace

QList<WindowRect> onScreenWindowBounds(const WindowSystem& system, const RunningApplication& app) {
    QList<WindowRect> bounds;
    for (const OnScreenWindow& entry : system.onScreenWindows()) {
        if (entry.normalLayer && belongsTo(entry, app)) {
            bounds.append(entry.frame);
        }
    }
    return bounds;
}

void unminimizeWindows(WindowSystem& system, const RunningApplication& app,
                       QList<WindowId>* asked) {
    const std::optional<WindowListing> listing = system.listWindows();
    if (!listing) {
        return;
    }
    for (const ListedWindow& entry : listing->windows) {
        if (entry.minimized && entry.onCurrentDesktop && entry.normalLayer &&
            belongsTo(entry, app) && !asked->contains(entry.window) &&
            system.isStandardWindow(entry.window) == std::optional(true)) {
            asked->append(entry.window);
            system.setMinimized(entry.window, false);
        }
    }
}

std::optional<WindowRect> windowFrame(const WindowSystem& system, WindowId window) {
    if (window == 0) {
        return std::nullopt;
    }
    return system.frame(window);
}

bool framesApproximatelyEqual(const WindowRect& a, const WindowRect& b) {
    return std::abs(a.x - b.x) < kFrameTolerance && std::abs(a.y - b.y) < kFrameTolerance &&
           std::abs(a.width - b.width) < kFrameTolerance &&
           std::abs(a.height - b.height) < kFrameTolerance;
}

QList<WindowId> standardWindows(const WindowSystem& system, const RunningApplication& app) {
    const QList<WindowRect> bounds = onScreenWindowBounds(system, app);
    if (bounds.isEmpty()) {
        return {};
    }
    QList<WindowId> candidates = system.windows(app).value_or(QList<WindowId>{});
    if (const std::optional<WindowId> focused = system.focusedWindow(app); focused && *focused) {
        candidates.removeAll(*focused);
        candidates.prepend(*focused);
    }
    QList<WindowId> accepted;
    for (WindowId window : std::as_const(candidates)) {
        if (window == 0 || accepted.contains(window) ||
            system.isStandardWindow(window) != std::optional(true) ||
            system.isMinimized(window) == std::optional(true) ||
            system.isFullScreen(window) == std::optional(true)) {
            continue;
        }
        const std::optional<WindowRect> frame = windowFrame(system, window);
        if (frame && matchesAny(*frame, bounds)) {
            accepted.append(window);
        }
    }
    return accepted;
}

WindowHandles windowsForApp(const WindowSystem& system, const InstalledApp& app,
                            const WindowsByApp& fallback) {
    const std::optional<RunningApplication> running = system.runningApplication(app.id);
    if (!running) {
        return {};
    }
    QList<WindowId> found = standardWindows(system, *running);
    if (found.isEmpty()) {
        found = fallback.value(app.id);
    }
    WindowHandles handles;
    handles.reserve(found.size());
    for (WindowId window : std::as_const(found)) {
        handles.append({app, window});
    }
    return handles;
}

Task<LaunchOutcome> openApplication(WindowSystem& system, InstalledApp app) {
    LaunchOutcome outcome = co_await system.openApplication(app, false);
    if (!outcome.app) {
        qCDebug(lcWindows).noquote() << "Could not open" << app.id << "-" << outcome.error;
    }
    co_return outcome;
}

Task<QList<WindowId>> waitForWindows(WindowSystem& system, Clock& clock, InstalledApp app,
                                     std::stop_token stop, QString* launchError) {
    std::optional<RunningApplication> running = system.runningApplication(app.id);
    if (!running) {
        LaunchOutcome launched = co_await openApplication(system, app);
        if (!launched.app) {
            if (launchError) {
                *launchError = launched.error;
            }
            co_return QList<WindowId>{};
        }
        running = std::move(launched.app);
    }

    // A list is only taken once two consecutive polls agree, so that an application still
    // opening its windows is not caught halfway.
    QList<WindowId> previous;
    QList<WindowId> unminimized;
    for (int poll = 0; poll < kMaxWindowPolls; ++poll) {
        if (stop.stop_requested() || system.isTerminated(*running)) {
            co_return QList<WindowId>{};
        }
        const QList<WindowId> current = standardWindows(system, *running);
        if (poll == 0 || current.isEmpty()) {
            // The windows come back over the next polls, which wait for them as for any other.
            unminimizeWindows(system, *running, &unminimized);
        }
        if (!current.isEmpty()) {
            if (current == previous) {
                co_return current;
            }
            previous = current;
        } else {
            const QList<WindowId> raw = system.windows(*running).value_or(QList<WindowId>{});
            if (poll >= kGiveUpOnOtherWindowsPoll && !raw.isEmpty()) {
                qCDebug(lcWindows) << app.id << "shows windows, but none to arrange here";
                co_return QList<WindowId>{};
            }
            if (poll == kReopenPoll && raw.isEmpty()) {
                // A running application without windows opens one when launched again. A
                // failure changes nothing: the polls go on.
                co_await openApplication(system, app);
            }
        }
        if (!co_await sleepFor(clock, kWindowPollInterval, stop)) {
            co_return QList<WindowId>{};
        }
    }
    qCDebug(lcWindows) << "Stopped waiting for the windows of" << app.id;
    co_return previous;
}

Task<std::optional<WindowRect>> setWindowFrame(WindowSystem& system, Clock& clock, WindowId window,
                                               WindowRect target, std::stop_token stop) {
    const std::optional<WindowRect> current = windowFrame(system, window);
    if (current && framesApproximatelyEqual(*current, target)) {
        co_return current;
    }
    if (!isWritable(target)) {
        qCWarning(lcWindows) << "Not writing an unusable frame" << target.x << target.y
                             << target.width << target.height;
        co_return std::nullopt;
    }
    std::optional<WindowRect> last;
    for (int attempt = 0; attempt < kMaxFrameAttempts; ++attempt) {
        if (stop.stop_requested()) {
            break;
        }
        system.setFrame(window, target);
        system.setFrame(window, target);
        // A stopped sleep still reads back: the caller gets the frame as it is now.
        co_await sleepFor(clock, kFrameSettleTime, stop);
        last = windowFrame(system, window);
        if (last && framesApproximatelyEqual(*last, target)) {
            break;
        }
    }
    co_return last;
}

bool isWindowOnThisDesktop(const WindowSystem& system, WindowId window, const InstalledApp& app) {
    const std::optional<RunningApplication> running = system.runningApplication(app.id);
    if (!running) {
        return false;
    }
    const std::optional<WindowRect> frame = windowFrame(system, window);
    return frame && matchesAny(*frame, onScreenWindowBounds(system, *running));
}

bool isWindowAlive(const WindowSystem& system, WindowId window) {
    return window != 0 && system.isAlive(window);
}

void focusWindow(WindowSystem& system, const InstalledApp& app, WindowId window) {
    const std::optional<RunningApplication> running = system.runningApplication(app.id);
    if (running) {
        system.focus(*running, window);
    }
}

Task<void> applyColumnPlacements(WindowSystem& system, Clock& clock, QList<ColumnPlacement> items,
                                 WindowRect area, QList<WindowId> raiseOrder,
                                 QSet<WindowId>& minimized, std::stop_token stop) {
    for (const ColumnPlacement& item : std::as_const(items)) {
        if (stop.stop_requested()) {
            co_return;
        }
        const WindowRect& frame = item.frame;
        if (item.hidden) {
            if (!minimized.contains(item.window)) {
                system.setMinimized(item.window, true);
                minimized.insert(item.window);
            }
            continue;
        }
        if (minimized.remove(item.window)) {
            system.setMinimized(item.window, false);
        }
        if (!item.needsSize) {
            if (item.withSize) {
                system.setFrame(item.window, frame);
            } else {
                system.setPosition(item.window, frame.x, frame.y);
            }
            continue;
        }
        // Sized inside the area (a window manager keeps a window that hangs over the screen
        // edge from growing), then moved to its real place.
        const double insideX =
            std::min(std::max(area.minX(), frame.minX()), area.maxX() - frame.width);
        const WindowRect inside{insideX, frame.y, frame.width, frame.height};
        const std::optional<WindowRect> read =
            co_await setWindowFrame(system, clock, item.window, inside, stop);
        // A window already near enough in size and place is not written: it still goes to
        // its exact place, or it would stay off by up to the tolerance while the strip rests.
        const bool offPlace = read && (read->x != frame.x || read->y != frame.y);
        if (insideX != frame.minX() || offPlace) {
            system.setPosition(item.window, frame.x, frame.y);
        }
    }
    for (WindowId window : std::as_const(raiseOrder)) {
        if (stop.stop_requested()) {
            co_return;
        }
        system.raise(window);
    }
}

Task<QList<bool>> windowsAliveFlags(WindowSystem& system, QList<WindowId> windows) {
    // One reading answers for every listed window; the others are asked one by one, which
    // happens only when windows close or the window manager changes.
    const std::optional<WindowListing> listing = system.listWindows();
    QList<bool> flags;
    flags.reserve(windows.size());
    for (WindowId window : std::as_const(windows)) {
        const bool listed = window != 0 && listing && listing->find(window);
        flags.append(listed || (window != 0 && !system.isGone(window)));
    }
    co_return flags;
}

Task<QList<double>> measureMinimumWidths(WindowSystem& system, Clock& clock,
                                         QList<WindowId> windows, QList<WindowRect> frames,
                                         double probeWidth, double probeHeight,
                                         std::stop_token stop) {
    QList<double> widths(windows.size(), probeWidth);
    TaskGroup group(stop);  // after `widths`: its children write into it
    for (qsizetype i = 0; i < windows.size(); ++i) {
        const WindowRect origin = i < frames.size() ? frames[i] : WindowRect{};
        const WindowRect probe{origin.x, origin.y, probeWidth, probeHeight};
        group.spawn(probeOneWidth(system, clock, windows[i], probe, &widths, i, group.token()));
    }
    co_await group.join();
    co_return widths;
}

}  // namespace tessora::windows
