#include "arrange/Placement.h"

#include "arrange/WindowAccess.h"
#include "core/AsyncLogging.h"
#include "core/Sleep.h"
#include "core/TaskGroup.h"

#include <QLoggingCategory>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace tessora {

namespace {
Q_LOGGING_CATEGORY(lcPlacement, "tessora.arrange.placement")

Task<void> waitAndRecord(WindowSystem& system, Clock& clock, InstalledApp app,
                         windows::WindowsByApp* found, LaunchErrors* launchErrors,
                         std::stop_token stop) {
    try {
        QString launchError;
        const QList<WindowId> windows =
            co_await windows::waitForWindows(system, clock, app, std::move(stop), &launchError);
        found->insert(app.id, windows);
        if (!launchError.isEmpty() && launchErrors) {
            launchErrors->insert(app.id, launchError);
        }
    } catch (...) {
        // A backend that throws must not take the other applications' placement with it.
        qCWarning(lcPlacement).noquote()
            << "Waiting for the windows of" << app.id
            << "failed:" << describeException(std::current_exception());
    }
}

struct TileAssignment {
    std::vector<int> tiles;  // by index in the window list
    int tileCount = 0;
};

// The first window of each application takes the application's own tile; every other window
// takes the next tile after the applications' own.
TileAssignment assignTiles(const WindowHandles& windows, const QList<InstalledApp>& apps) {
    const int appCount = static_cast<int>(apps.size());
    int nextExtra = appCount;
    QSet<int> used;
    TileAssignment assignment;
    for (const WindowHandle& handle : windows) {
        const int own = static_cast<int>(apps.indexOf(handle.app));  // equal ids
        if (own >= 0 && !used.contains(own)) {
            used.insert(own);
            assignment.tiles.push_back(own);
        } else {
            assignment.tiles.push_back(nextExtra++);
        }
    }
    assignment.tileCount =
        nextExtra == appCount
            ? appCount
            : *std::max_element(assignment.tiles.begin(), assignment.tiles.end()) + 1;
    return assignment;
}

bool hasWindowOf(const WindowHandles& windows, const InstalledApp& app) {
    return std::any_of(windows.begin(), windows.end(),
                       [&](const WindowHandle& handle) { return handle.app == app; });
}

bool isTile(int tile, const std::vector<WindowRect>& tileFrames) {
    return tile >= 0 && static_cast<std::size_t>(tile) < tileFrames.size();
}

// Grows the tile's minimum size in each direction in which the window stayed more than the
// threshold larger than its tile; 0 keeps a direction free.
void noteRefusalToShrink(MinimumSizes& minimums, int tile, const WindowRect& actual,
                         const WindowRect& target) {
    const bool wider = actual.width > target.width + kRefusesToShrinkBy;
    const bool taller = actual.height > target.height + kRefusesToShrinkBy;
    if (!wider && !taller) {
        return;
    }
    Size& minimum = minimums[tile];  // {0, 0} when the tile had none
    minimum.width = std::max(minimum.width, wider ? actual.width : 0.0);
    minimum.height = std::max(minimum.height, taller ? actual.height : 0.0);
}

// Where a window manager that keeps whole windows inside the area puts the visible start of a
// window with invisible parts around it (a client-side shadow, `before` and `after` the
// visible span): the tile's start, moved inward until those parts fit.
double keptInAreaStart(double tileStart, double length, double before, double after,
                       double areaStart, double areaEnd) {
    const double outerLength = length + before + after;
    return std::clamp(tileStart - before, areaStart, std::max(areaStart, areaEnd - outerLength)) +
           before;
}

// Whether one side of a window (its horizontal or its vertical span) is where its tile wants it,
// as far as the window lets it be. Its length may exceed the tile's (its minimum size, around
// which the tiles were widened) or fall short of it by what the window cannot take (size
// increments, a maximum size: `attainableLength`). Its start may lie nearer the area's start
// than the tile's where the window, at its own length, would reach past the area's far end, or
// inward by its invisible parts at the area's edges: the window manager keeps it on screen.
bool spanInPlace(double start, double length, double tileStart, double tileLength,
                 double attainableLength, double areaStart, double areaEnd, double before,
                 double after) {
    using windows::kFrameTolerance;
    if (length <= std::min(tileLength, attainableLength) - kFrameTolerance) {
        return false;
    }
    if (std::abs(start - tileStart) < kFrameTolerance ||
        std::abs(start - keptInAreaStart(tileStart, length, before, after, areaStart, areaEnd)) <
            kFrameTolerance) {
        return true;
    }
    const bool reachesPastArea = tileStart + length >= areaEnd + kFrameTolerance;
    return reachesPastArea && start < tileStart && start > areaEnd - length - kFrameTolerance;
}

// Whether the window is where its tile wants it, but for what the window itself or the window
// manager's keeping it on screen does not allow. A window that is elsewhere moved itself back
// or ignored the request.
bool inPlace(const WindowSystem& system, WindowId window, const WindowRect& actual,
             const WindowRect& tile, const WindowRect& area) {
    if (windows::framesApproximatelyEqual(actual, tile)) {
        return true;
    }
    const Size attainable = system.attainableSize(window, tile.size());
    const Margins hidden = system.invisibleMargins(window);
    return spanInPlace(actual.x, actual.width, tile.x, tile.width, attainable.width, area.x,
                       area.maxX(), hidden.left, hidden.right) &&
           spanInPlace(actual.y, actual.height, tile.y, tile.height, attainable.height, area.y,
                       area.maxY(), hidden.top, hidden.bottom);
}

}  // namespace

QString notPlacedMessage(const InstalledApp& app) {
    return app.name + QStringLiteral(": window could not be placed.");
}

QString noAvailableWindowMessage(const InstalledApp& app) {
    return app.name + QStringLiteral(": no available window on this desktop.");
}

QString windowUnavailableMessage(const InstalledApp& app) {
    return app.name + QStringLiteral(": window became unavailable.");
}

QString couldNotOpenMessage(const InstalledApp& app, const QString& description) {
    return app.name + QStringLiteral(": could not open (") + description + QStringLiteral(").");
}

Task<WindowHandles> collectWindows(WindowSystem& system, Clock& clock, QList<InstalledApp> apps,
                                   std::stop_token stop, LaunchErrors* launchErrors) {
    windows::WindowsByApp found;
    TaskGroup group(stop);  // after `found`: its children write into it
    for (const InstalledApp& app : std::as_const(apps)) {
        group.spawn(waitAndRecord(system, clock, app, &found, launchErrors, group.token()));
    }
    co_await group.join();
    co_await sleepFor(clock, kCollectSettleTime, stop);  // a stopped pause just goes on

    WindowHandles handles;
    for (const InstalledApp& app : std::as_const(apps)) {
        handles.append(windows::windowsForApp(system, app, found));
    }
    co_return handles;
}

Task<PlacementResult> placeWindows(WindowSystem& system, Clock& clock, WindowLayout layout,
                                   QList<InstalledApp> apps, WindowRect area, double gap,
                                   std::stop_token stop) {
    PlacementResult result;
    LaunchErrors launchErrors;
    const WindowHandles windowList =
        co_await collectWindows(system, clock, apps, stop, &launchErrors);
    const TileAssignment assignment = assignTiles(windowList, apps);
    const std::vector<int>& tiles = assignment.tiles;
    const std::vector<UnitRect>& regions = layout.regions;

    for (const InstalledApp& app : std::as_const(apps)) {
        if (launchErrors.contains(app.id)) {
            result.messages.append(couldNotOpenMessage(app, launchErrors.value(app.id)));
        } else if (!hasWindowOf(windowList, app)) {
            result.messages.append(noAvailableWindowMessage(app));
        }
    }

    const std::vector<WindowRect> firstFrames = frames(assignment.tileCount, regions, area, gap);
    MinimumSizes minimums;
    std::map<qsizetype, WindowRect> actualFrames;

    // First pass: every window to its tile; note the windows that stay too large.
    for (qsizetype i = 0; i < windowList.size(); ++i) {
        const WindowHandle& handle = windowList[i];
        const int tile = tiles[static_cast<std::size_t>(i)];
        if (!isTile(tile, firstFrames) ||
            !windows::isWindowOnThisDesktop(system, handle.window, handle.app)) {
            continue;
        }
        const WindowRect& target = firstFrames[static_cast<std::size_t>(tile)];
        const std::optional<WindowRect> actual =
            co_await windows::setWindowFrame(system, clock, handle.window, target, stop);
        if (!actual) {
            continue;
        }
        actualFrames[i] = *actual;
        noteRefusalToShrink(minimums, tile, *actual, target);
    }

    const std::vector<WindowRect> finalFrames =
        frames(assignment.tileCount, regions, area, gap, minimums);
    const int lastRegion = static_cast<int>(regions.size()) - 1;

    // Second pass: windows whose tile changed around a large neighbour move again; every
    // window still here is verified and raised, in list order, so the last one of the
    // stacked tile ends up on top.
    for (qsizetype i = 0; i < windowList.size(); ++i) {
        const WindowHandle& handle = windowList[i];
        const int tile = tiles[static_cast<std::size_t>(i)];
        if (!isTile(tile, finalFrames)) {
            continue;
        }
        if (!windows::isWindowOnThisDesktop(system, handle.window, handle.app)) {
            result.messages.append(windowUnavailableMessage(handle.app));
            continue;
        }
        const WindowRect& target = finalFrames[static_cast<std::size_t>(tile)];
        std::optional<WindowRect> actual;
        const bool tileMoved =
            !isTile(tile, firstFrames) || target != firstFrames[static_cast<std::size_t>(tile)];
        if (tileMoved) {
            actual = co_await windows::setWindowFrame(system, clock, handle.window, target, stop);
        } else if (const auto recorded = actualFrames.find(i); recorded != actualFrames.end()) {
            actual = recorded->second;
        }
        if (!actual) {
            result.messages.append(windowUnavailableMessage(handle.app));
            continue;
        }
        if (windows::framesApproximatelyEqual(*actual, target) && lastRegion >= 0 &&
            tile >= lastRegion) {
            result.stackedWindows.append(handle);
        }
        if (!inPlace(system, handle.window, *actual, target, area)) {
            result.messages.append(notPlacedMessage(handle.app));
        }
        system.raise(handle.window);
    }

    if (lastRegion >= 0 && static_cast<std::size_t>(lastRegion) < finalFrames.size()) {
        result.stackFrame = finalFrames[static_cast<std::size_t>(lastRegion)];
    }
    qCDebug(lcPlacement) << "Placed" << windowList.size() << "windows in" << assignment.tileCount
                         << "tiles;" << result.messages.size() << "problems";
    co_return result;
}

}  // namespace tessora
