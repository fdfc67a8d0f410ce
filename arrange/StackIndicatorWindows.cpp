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

// The application runs while a window of it is listed.
bool applicationRuns(const WindowListing& listing, const QString& appId) {
    return std::any_of(listing.windows.begin(), listing.windows.end(),
                       [&](const ListedWindow& listed) { return listed.appId == appId; });
}

// Whether the listing's entry shows the stacked window as its frame reads: entries name their
// window, which tells apart two windows of one application lying on top of each other in the
// same tile (the usual case here).
bool showsWindow(const ListedWindow& listed, const StackedWindow& stacked) {
    return listed.window == stacked.handle.window && listed.onScreen && listed.frame &&
           stacked.frame && windows::framesApproximatelyEqual(*listed.frame, *stacked.frame);
}

}  // namespace

QList<WindowHandle> stillTracked(const WindowListing& listing, const QList<WindowHandle>& tracked) {
    QList<WindowHandle> kept;
    for (const WindowHandle& handle : tracked) {
        if (handle.window != 0 && listing.find(handle.window) &&
            applicationRuns(listing, handle.app.id)) {
            kept.append(handle);
        }
    }
    return kept;
}

QList<StackedWindow> visibleInTile(const WindowSystem& system, const WindowListing& listing,
                                   const QList<WindowHandle>& tracked, const WindowRect& tile) {
    const WindowRect reach = grown(tile, tileSlack);
    QList<StackedWindow> visible;
    for (const WindowHandle& handle : tracked) {
        const ListedWindow* listed = listing.find(handle.window);
        if (!listed || !listed->onScreen || !listed->normalLayer ||
            !applicationRuns(listing, handle.app.id) ||
            system.isMinimized(handle.window).value_or(false) ||
            system.isFullScreen(handle.window).value_or(false)) {
            continue;
        }
        const StackedWindow stacked{handle, windows::windowFrame(system, handle.window)};
        if (stacked.frame && intersects(*stacked.frame, reach) && showsWindow(*listed, stacked)) {
            visible.append(stacked);
        }
    }
    return visible;
}

std::optional<int> activeWindowIndex(const WindowListing& listing,
                                     const QList<StackedWindow>& windows) {
    const ListedWindow* active = listing.active ? listing.find(*listing.active) : nullptr;
    if (active && !active->appId.isEmpty()) {
        // The active window, else the frontmost window of its application.
        const auto main =
            std::find_if(listing.windows.begin(), listing.windows.end(),
                         [&](const ListedWindow& listed) { return listed.appId == active->appId; });
        for (const ListedWindow* candidate : {active, &*main}) {
            for (int i = 0; i < windows.size(); ++i) {
                if (windows[i].handle.app.id == active->appId &&
                    windows[i].handle.window == candidate->window) {
                    return i;
                }
            }
        }
    }

    // Nothing of the frontmost application is stacked (or it says nothing): the stacked window
    // nearest the front of the window list is the one on top of the tile.
    for (const ListedWindow& listed : listing.windows) {
        for (int i = 0; i < windows.size(); ++i) {
            if (showsWindow(listed, windows[i])) {
                return i;
            }
        }
    }
    return std::nullopt;
}

}  // namespace tessora::stackindicator
