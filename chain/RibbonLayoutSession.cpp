#include "chain/RibbonLayoutSession.h"

#include "arrange/Placement.h"
#include "arrange/WindowAccess.h"
#include "core/Sleep.h"

#include <QLoggingCategory>
#include <algorithm>
#include <cmath>

namespace tessora {

namespace {
Q_LOGGING_CATEGORY(lcChain, "tessora.chain")
}  // namespace

RibbonLayoutSession::RibbonLayoutSession(WindowSystem& windows, Clock& clock,
                                         RibbonPanelViewFactory makePanel)
    : m_system(windows), m_clock(clock), m_makePanel(std::move(makePanel)) {}

RibbonLayoutSession::~RibbonLayoutSession() {
    // The windows stay where they are: whoever owns the session ends it first when they should
    // go back. The tasks are destroyed with their slots.
    m_sessionStop.request_stop();
    m_scrollTap.reset();
    m_panel.reset();
}

// --- geometry of the current strip

void RibbonLayoutSession::rebuildColumns() {
    m_strip.rebuildColumns(m_windows.size());
}

double RibbonLayoutSession::maxOffset() const {
    return m_strip.maxOffset(m_windows.size());
}

double RibbonLayoutSession::clampedOffset(double x) const {
    return m_strip.clampedOffset(x, m_windows.size());
}

int RibbonLayoutSession::nearestColumn(double t) const {
    return m_strip.nearestColumn(t);
}

RibbonColumnPlacement RibbonLayoutSession::columnPlacement(int index, double offset,
                                                           bool resizePending) const {
    return m_strip.columnPlacement(index, offset, resizePending);
}

ribbondots::Dots RibbonLayoutSession::dots() const {
    ribbondots::Dots dots;
    for (const WindowHandle& handle : m_windows) {
        dots.names.append(handle.app.name);
    }
    dots.activeIndex = m_strip.activeIndex;
    return dots;
}

QList<WindowId> RibbonLayoutSession::windowIds() const {
    QList<WindowId> ids;
    ids.reserve(m_windows.size());
    for (const WindowHandle& handle : m_windows) {
        ids.append(handle.window);
    }
    return ids;
}

void RibbonLayoutSession::setActiveIndex(int index) {
    if (m_strip.activeIndex == index) {
        return;
    }
    m_strip.activeIndex = index;
    if (m_panel) {
        m_panel->setDots(dots());
    }
}

// --- lifecycle

Task<void> RibbonLayoutSession::start(std::vector<UnitRect> regions, InstalledApps apps,
                                      WindowRect area, double gap) {
    const QUuid id = m_sessionID;
    const std::stop_token stop = m_sessionStop.get_token();
    const WindowHandles found = co_await collectWindows(m_system, m_clock, apps, stop);
    if (m_sessionID != id) {
        co_return;
    }

    WindowHandles kept;
    QList<WindowRect> frames;
    for (const WindowHandle& handle : found) {
        if (const std::optional<WindowRect> frame = windows::windowFrame(m_system, handle.window)) {
            kept.append(handle);
            frames.append(*frame);
        } else {
            qCDebug(lcChain) << "Leaving out a window of" << handle.app.name
                             << "whose frame cannot be read";
        }
    }
    if (kept.isEmpty()) {
        co_return;
    }
    if (kept.size() == 1) {
        // One window makes no strip: it simply takes the whole area.
        const WindowId only = kept.front().window;
        if (!stop.stop_requested()) {
            co_await windows::setWindowFrame(m_system, m_clock, only, area, stop);
        }
        if (!stop.stop_requested()) {
            m_system.raise(only);
        }
        co_return;
    }

    m_windows = kept;
    m_originalFrames = frames;
    m_strip.area = area;
    m_strip.gap = gap;
    m_strip.capacity = static_cast<int>(regions.size());
    rebuildColumns();

    // Every window is shrunk to the default column width at its old place, all at once; one
    // that will not become that narrow keeps its real width as its column's minimum.
    const double base = m_strip.columnWidths.value(0, area.width);
    QList<double> widths = co_await windows::measureMinimumWidths(
        m_system, m_clock, windowIds(), m_originalFrames, base, area.height, stop);
    if (m_sessionID != id) {
        // Ended while measuring: the widths belong to no session, and must not widen the
        // columns of the next one.
        co_return;
    }
    m_strip.minimumColumnWidths = std::move(widths);
    rebuildColumns();
    updatePanel();
    startWindowMonitor();
    requestRender(true, true);
}

void RibbonLayoutSession::end() {
    const bool wasActive = isActive();  // a session that is starting or running
    m_sessionID = QUuid::createUuid();
    m_sessionStop.request_stop();
    m_sessionStop = std::stop_source();
    m_windowMonitor.cancel();
    m_scrollAnimation.cancel();
    cancelScrollGesture();
    removePanel();
    m_placement.cancel();
    restoreOriginalFrames();

    m_windows.clear();
    m_originalFrames.clear();
    m_minimized.clear();
    m_strip.confined = false;
    m_strip.fullyVisible.clear();
    m_strip.minimumColumnWidths.clear();
    m_strip.columnWidths.clear();
    m_strip.itemOffsets.clear();
    m_strip.offset = 0;
    m_strip.targetOffset = 0;
    m_strip.activeIndex = 0;
    m_resizePending = false;
    m_windowOrderPending = false;
    ++m_renderRevision;
    if (wasActive && m_ended) {
        m_ended();
    }
}

void RibbonLayoutSession::restoreOriginalFrames() {
    // Immediate and unverified: the application may be quitting. Position, frame, position, so
    // that a size clamped at the strip position is taken again at the old place.
    const qsizetype count = std::min(m_windows.size(), m_originalFrames.size());
    for (qsizetype i = 0; i < count; ++i) {
        const WindowId window = m_windows[i].window;
        const WindowRect& frame = m_originalFrames[i];
        m_system.setPosition(window, frame.x, frame.y);
        m_system.setFrame(window, frame);
        m_system.setPosition(window, frame.x, frame.y);
        // Only the windows minimized here come back: one the user minimized stays so.
        if (m_minimized.contains(window)) {
            m_system.setMinimized(window, false);
        }
    }
}

windows::ColumnPlacement RibbonLayoutSession::placementItem(int index, WindowId window,
                                                            double offset, bool resize) {
    const RibbonColumnPlacement column = columnPlacement(index, offset, resize);
    windows::ColumnPlacement item{window, column.frame, column.needsSize};
    // Columns of a confined strip change size as they cross the edge: every write carries it.
    item.withSize = m_strip.confined;
    item.hidden = column.hidden;
    return item;
}

Task<bool> RibbonLayoutSession::columnsKeptOnScreen(QUuid id, quint64 revision,
                                                    std::stop_token stop) {
    QList<int> beyond;
    for (int i = 0; i < m_windows.size(); ++i) {
        if (!columnPlacement(i, m_strip.offset, false).fullyVisible) {
            beyond.append(i);
        }
    }
    if (beyond.isEmpty() || !co_await sleepFor(m_clock, windows::kFrameSettleTime, stop)) {
        co_return false;
    }
    if (m_sessionID != id || m_renderRevision != revision) {
        co_return false;
    }
    for (int i : std::as_const(beyond)) {
        const WindowRect wanted = columnPlacement(i, m_strip.offset, false).frame;
        const std::optional<WindowRect> read = windows::windowFrame(m_system, m_windows[i].window);
        if (read && std::abs(read->x - wanted.x) >= windows::kFrameTolerance) {
            co_return true;
        }
    }
    co_return false;
}

void RibbonLayoutSession::requestRender(bool resize, bool reorder) {
    if (resize) {
        m_resizePending = true;
    }
    if (reorder) {
        m_windowOrderPending = true;
    }
    ++m_renderRevision;
    if (!m_placement.held() && !m_windows.isEmpty()) {
        const std::stop_token stop = m_placement.prepare();
        m_placement.launch(renderLoop(m_sessionID, stop));
    }
}

Task<void> RibbonLayoutSession::renderLoop(QUuid id, std::stop_token stop) {
    while (!stop.stop_requested() && m_sessionID == id) {
        const quint64 revision = m_renderRevision;
        const WindowHandles snapshot = m_windows;
        const double offset = m_strip.offset;
        const WindowRect viewport = m_strip.viewport;
        const bool resize = m_resizePending;
        const bool raise = m_windowOrderPending && !m_scrollAnimation.held();

        QList<windows::ColumnPlacement> items;
        QList<WindowId> raiseList;
        QSet<int> visible;
        QSet<int> reshaped;  // hidden or cut: no longer at its size
        for (int i = 0; i < snapshot.size(); ++i) {
            const RibbonColumnPlacement column = columnPlacement(i, offset, resize);
            items.append(placementItem(i, snapshot[i].window, offset, resize));
            if (column.fullyVisible) {
                visible.insert(i);
            }
            if (column.hidden || column.cut) {
                reshaped.insert(i);
            }
            if (raise && column.intersectsViewport) {
                raiseList.append(snapshot[i].window);
            }
        }
        co_await windows::applyColumnPlacements(m_system, m_clock, std::move(items), viewport,
                                                std::move(raiseList), m_minimized, stop);
        if (m_sessionID != id) {
            co_return;
        }
        if (resize && m_windows == snapshot) {
            m_resizePending = false;
        }
        if (m_windows == snapshot) {
            // A column sized while wholly in view keeps its size while the strip goes on
            // moving: the following frames only move it, without a verified write each.
            for (int i = 0; i < snapshot.size(); ++i) {
                if (visible.contains(i) && columnPlacement(i, offset, resize).needsSize) {
                    m_strip.fullyVisible.insert(i);
                }
            }
            m_strip.fullyVisible -= reshaped;
        }
        if (m_renderRevision != revision || std::abs(offset - m_strip.offset) >= renderSettled) {
            co_await sleepFor(m_clock, renderFrame, stop);
            continue;
        }
        if (!m_strip.confined && co_await columnsKeptOnScreen(id, revision, stop)) {
            if (m_sessionID != id) {
                co_return;
            }
            qCDebug(lcChain) << "The window manager keeps windows on screen: columns out of view"
                             << "are minimized";
            m_strip.confined = true;
            ++m_renderRevision;
            continue;  // placed again, as a confined strip
        }
        if (m_sessionID != id) {
            co_return;
        }
        if (m_renderRevision != revision) {
            continue;  // changed while the frames were checked
        }
        // Quiet: the columns that are fully visible now keep their size from here on.
        m_strip.fullyVisible = visible;
        if (raise) {
            m_windowOrderPending = false;
        }
        m_placement.release();
        co_return;
    }
    if (m_sessionID == id && m_placement.held()) {
        m_placement.release();
    }
}

void RibbonLayoutSession::startWindowMonitor() {
    m_windowMonitor.cancel();
    const std::stop_token stop = m_windowMonitor.prepare();
    m_windowMonitor.launch(monitorLoop(m_sessionID, stop));
}

Task<void> RibbonLayoutSession::monitorLoop(QUuid id, std::stop_token stop) {
    // Only windows that no longer exist are noticed; moving, resizing or focusing one is not.
    while (!stop.stop_requested()) {
        if (!co_await sleepFor(m_clock, windowMonitorInterval, stop)) {
            co_return;
        }
        if (stop.stop_requested() || m_sessionID != id) {
            co_return;
        }
        const QList<bool> alive = co_await windows::windowsAliveFlags(m_system, windowIds());
        if (stop.stop_requested()) {
            co_return;
        }
        if (m_sessionID == id) {
            removeClosedWindows(alive);
        }
    }
}

void RibbonLayoutSession::removeClosedWindows(const QList<bool>& alive) {
    QList<qsizetype> keep;
    for (qsizetype i = 0; i < m_windows.size() && i < alive.size(); ++i) {
        if (alive[i]) {
            keep.append(i);
        }
    }
    if (keep.size() == m_windows.size()) {
        return;
    }
    if (keep.isEmpty()) {
        // Every window went: the session ends as any other end does (and says so), with nothing
        // to put back.
        qCDebug(lcChain) << "Every window of the strip closed";
        m_originalFrames.clear();
        end();
        return;
    }
    cancelScrollGesture();

    WindowHandles keptWindows;
    QList<WindowRect> frames;
    QList<double> minimums;
    for (qsizetype i : std::as_const(keep)) {
        keptWindows.append(m_windows[i]);
        frames.append(m_originalFrames.value(i));
        minimums.append(m_strip.minimumColumnWidths.value(i, 0.0));
    }
    qCDebug(lcChain) << m_windows.size() - keptWindows.size() << "windows of the strip closed";
    m_windows = keptWindows;
    m_originalFrames = frames;
    m_strip.minimumColumnWidths = minimums;
    m_strip.fullyVisible.clear();
    rebuildColumns();
    const double limit = maxOffset();
    if (limit == 0) {
        m_scrollAnimation.cancel();
        m_strip.offset = 0;
        m_strip.targetOffset = 0;
    } else {
        m_strip.targetOffset = std::min(m_strip.targetOffset, limit);
        m_strip.offset = std::min(m_strip.offset, limit);
    }
    setActiveIndex(nearestColumn(m_strip.targetOffset));
    updatePanel();
    requestRender(true, true);
}

}  // namespace tessora
