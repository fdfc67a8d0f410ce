#include "arrange/StackIndicatorWindows.h"

#include "arrange/WindowAccess.h"

#include <algorithm>

namespace tessora::stackindicator {

namespace {

// Overlap of positive area; rectangles that only touch do not intersect.
bool intersects(const WindowRect& a, const WindowRect& b) {
    return a.width > 0 && a.height > 0 && b.width > 0 && b.height > 0 && a.minX() < b.maxX() &&
           b.minX() < a.maxX() && a.minY() < b.maxY() && b.minY() < a.maxY();
}

WindowRect grown(const WindowRect& r, double by) {
    return {r.x - by, r.y - by, r.width + 2 * by, r.height + 2 * by};
}

// The first running instance of the application, unless it has ended.
std::optional<RunningApplication> runningInstance(const WindowSystem& system,
                                                  const QString& appId) {
    auto app = system.runningApplication(appId);
    if (app && system.isTerminated(*app)) {
        return std::nullopt;
    }
    return app;
}

// The same rule as windows::onScreenWindowBounds(), which cannot be used here because it reads
// the window list on every call: X11 windows need not carry a pid (_NET_WM_PID), so an entry
// belongs to the application when it was matched to the application's id, or when both pids are
// known and equal.
bool belongsTo(const OnScreenWindow& entry, const QString& appId, qint64 pid) {
    return (!entry.appId.isEmpty() && entry.appId == appId) ||
           (pid != 0 && entry.pid != 0 && entry.pid == pid);
}

// Whether an entry of the window list shows the stacked window `handle`, whose frame reads
// `frame`. Entries name their window, which tells apart two windows of one application lying
// on top of each other in the same tile (the usual case here); an entry without a window id
// falls back to the application and the frame.
bool showsWindow(const OnScreenWindow& entry, const WindowHandle& handle, qint64 pid,
                 const WindowRect& frame) {
    const bool same =
        entry.window != 0 ? entry.window == handle.window : belongsTo(entry, handle.app.id, pid);
    return same && windows::framesApproximatelyEqual(entry.frame, frame);
}

}  // namespace

QList<WindowHandle> stillTracked(const WindowSystem& system, const QList<WindowHandle>& tracked) {
    QList<WindowHandle> kept;
    for (const WindowHandle& handle : tracked) {
        if (runningInstance(system, handle.app.id) &&
            windows::isWindowAlive(system, handle.window)) {
            kept.append(handle);
        }
    }
    return kept;
}

QList<WindowHandle> visibleInTile(const WindowSystem& system, const QList<WindowHandle>& tracked,
                                  const WindowRect& tile) {
    const QList<OnScreenWindow> onScreen = system.onScreenWindows();
    const WindowRect reach = grown(tile, tileSlack);
    QList<WindowHandle> visible;
    for (const WindowHandle& handle : tracked) {
        const auto app = runningInstance(system, handle.app.id);
        if (!app || system.isMinimized(handle.window).value_or(false) ||
            system.isFullScreen(handle.window).value_or(false)) {
            continue;
        }
        const auto frame = windows::windowFrame(system, handle.window);
        if (!frame || !intersects(*frame, reach)) {
            continue;
        }
        const bool listed = std::any_of(onScreen.begin(), onScreen.end(), [&](const auto& entry) {
            return entry.normalLayer && showsWindow(entry, handle, app->pid, *frame);
        });
        if (listed) {
            visible.append(handle);
        }
    }
    return visible;
}

std::optional<int> activeWindowIndex(const WindowSystem& system, const QList<WindowHandle>& list) {
    if (const auto frontId = system.frontmostApplicationId()) {
        if (const auto front = system.runningApplication(*frontId)) {
            for (const auto& candidate :
                 {system.focusedWindow(*front), system.mainWindow(*front)}) {
                if (!candidate) {
                    continue;
                }
                for (int i = 0; i < list.size(); ++i) {
                    if (list[i].app.id == *frontId && list[i].window == *candidate) {
                        return i;
                    }
                }
            }
        }
    }

    // Nothing of the frontmost application is stacked (or it says nothing): the stacked window
    // nearest the front of the window list is the one on top of the tile.
    struct Known {
        qint64 pid = 0;
        std::optional<WindowRect> frame;
    };
    QList<Known> known;
    known.reserve(list.size());
    for (const WindowHandle& handle : list) {
        const auto app = system.runningApplication(handle.app.id);
        known.append({app ? app->pid : 0, windows::windowFrame(system, handle.window)});
    }
    for (const OnScreenWindow& entry : system.onScreenWindows()) {
        for (int i = 0; i < list.size(); ++i) {
            if (known[i].frame && showsWindow(entry, list[i], known[i].pid, *known[i].frame)) {
                return i;
            }
        }
    }
    return std::nullopt;
}

}  // namespace tessora::stackindicator
