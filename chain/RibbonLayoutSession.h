#pragma once

#include "arrange/WindowAccess.h"
#include "arrange/WindowHandle.h"
#include "chain/RibbonDots.h"
#include "chain/RibbonGeometry.h"
#include "chain/RibbonPanelView.h"
#include "chain/SessionTask.h"
#include "core/Clock.h"
#include "core/Geometry.h"
#include "core/Task.h"
#include "platform/WindowSystem.h"

#include <QList>
#include <QSet>
#include <QUuid>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

namespace tessora {

// The Chain layout's session: the selected applications' windows laid out as a horizontal strip
// of full-height columns, wider than the display, scrolled sideways with Alt + wheel over the
// strip's area or over a small panel of dots, snapping to columns. Closed windows leave the
// strip; the end of the session puts every window back where it was.
//
// Some window managers keep windows on screen: a column moved beyond the edge is pulled back
// over its neighbours. The session learns that from the frames read back once the strip is
// quiet, and from then on minimizes the columns that are out of view (restoring them when they
// scroll in) and cuts those partly in view to the part in view.
//
// One object is created by whoever runs arrangements and lives as long as they do; every
// background task belongs to it and is destroyed with it. Each task captures the session's
// identity when it is created and stops at its next check once the identity changed: ending the
// session replaces the identity, which invalidates everything still in flight. Main thread only.
class RibbonLayoutSession final {
public:
    // Frames of the render loop and of the scroll animation.
    static constexpr Clock::Duration renderFrame = std::chrono::milliseconds(16);
    // How often the windows are checked for having been closed.
    static constexpr Clock::Duration windowMonitorInterval = std::chrono::milliseconds(350);
    // Scroll events that pause this long end a gesture, which then snaps to a column.
    static constexpr Clock::Duration scrollSettleDelay = std::chrono::milliseconds(160);
    // Every animation frame covers this share of the remaining distance...
    static constexpr double scrollEasing = 0.28;
    // ...and a remainder below this is jumped.
    static constexpr double scrollArrival = 0.75;
    // Scroll requests that move the target by no more than this are ignored.
    static constexpr double scrollIgnored = 0.5;
    // A render pass is quiet when the offset moved by less than this while it ran.
    static constexpr double renderSettled = 0.5;
    // Points per notch of a line-based wheel; precise deltas count one point each.
    static constexpr double wheelNotchPoints = 30;

    // `makePanel` may be empty (no views, e.g. on the command line): the strip then scrolls only
    // with Alt + wheel.
    RibbonLayoutSession(WindowSystem& windows, Clock& clock, RibbonPanelViewFactory makePanel);
    ~RibbonLayoutSession();
    RibbonLayoutSession(const RibbonLayoutSession&) = delete;
    RibbonLayoutSession& operator=(const RibbonLayoutSession&) = delete;

    // --- lifecycle
    // Lays the windows of `apps` out as a strip of columns in `area` (the display's visible
    // frame, window space) with `gap` between them. Only the count of `regions` matters: it is
    // how many columns the default width is made for. A running session must be ended first.
    Task<void> start(std::vector<UnitRect> regions, InstalledApps apps, WindowRect area,
                     double gap);
    // Puts every window of the session back where it was; harmless without a session.
    void end();
    // Called whenever a running session ends: by end(), or because its windows went.
    void setEndedHandler(std::function<void()> handler) { m_ended = std::move(handler); }
    bool isActive() const { return !m_windows.isEmpty(); }

    // Asks the render loop for a pass; `resize` writes full frames for every column, `reorder`
    // raises the visible windows once the strip stands still. Requests are coalesced.
    void requestRender(bool resize, bool reorder);
    // `alive` has one flag per window (true: still there); the others leave the strip.
    void removeClosedWindows(const QList<bool>& alive);
    void startWindowMonitor();

    // --- scrolling and the panel
    // Moves the strip towards `x` (clamped), animated.
    void scrollTo(double x);
    void startScrollAnimation();
    // Alt + wheel over the area or any scroll over the panel. True when the event was used.
    bool handleScroll(const ScrollInput& input);
    // Snaps to a column once the scroll events pause.
    void scheduleScrollSettle();
    void cancelScrollGesture();
    // A click on a dot.
    void selectColumn(int index);
    // Shows, moves or removes the panel and the Alt + scroll grab to fit the strip.
    void updatePanel();
    void removePanel();
    void installScrollTap();

    // --- geometry of the current strip
    void rebuildColumns();
    double maxOffset() const;
    double clampedOffset(double x) const;
    int nearestColumn(double t) const;
    RibbonColumnPlacement columnPlacement(int index, double offset, bool resizePending) const;

    // --- state, for views and tests
    const WindowHandles& windows() const { return m_windows; }
    const QList<WindowRect>& originalFrames() const { return m_originalFrames; }
    // The windows that the session minimized because their columns are out of view.
    const QSet<WindowId>& minimizedWindows() const { return m_minimized; }
    const RibbonStrip& strip() const { return m_strip; }
    const QUuid& sessionID() const { return m_sessionID; }
    bool hasPanel() const { return m_panelShown; }
    bool hasScrollTap() const { return m_scrollTap != nullptr; }
    bool isRendering() const { return m_placement.held(); }
    bool isAnimating() const { return m_scrollAnimation.held(); }
    bool isSettlePending() const { return m_scrollSettleTask.held(); }
    bool isMonitoring() const { return m_windowMonitor.held(); }
    std::optional<double> scrollGestureStartOffset() const { return m_scrollGestureStartOffset; }
    double scrollGestureDirection() const { return m_scrollGestureDirection; }
    quint64 renderRevision() const { return m_renderRevision; }
    bool resizePending() const { return m_resizePending; }
    bool windowOrderPending() const { return m_windowOrderPending; }
    ribbondots::Dots dots() const;

private:
    std::function<void()> m_ended;
    Task<void> renderLoop(QUuid id, std::stop_token stop);
    Task<void> monitorLoop(QUuid id, std::stop_token stop);
    Task<void> animationLoop(QUuid id, std::stop_token stop);
    Task<void> settleAfterPause(QUuid id, std::stop_token stop);
    // Whether the window manager moved a column that lies beyond the viewport's edge somewhere
    // else: read back once the writes had time to take effect. False when the strip changed
    // meanwhile.
    Task<bool> columnsKeptOnScreen(QUuid id, quint64 revision, std::stop_token stop);
    windows::ColumnPlacement placementItem(int index, WindowId window, double offset, bool resize);
    QList<WindowId> windowIds() const;
    void setActiveIndex(int index);
    void restoreOriginalFrames();
    // Runs a callback of the panel. A panel that the callback removes (ending the session from
    // its own menu) is destroyed only once the callback returned.
    template <class F>
    void dispatch(F&& callback);

    WindowSystem& m_system;
    Clock& m_clock;
    RibbonPanelViewFactory m_makePanel;

    WindowHandles m_windows;             // the columns, in column order
    QList<WindowRect> m_originalFrames;  // each window's frame at the start, same order
    QSet<WindowId> m_minimized;          // minimized by the session (out of view)
    RibbonStrip m_strip;                 // area, viewport, gap, widths, offsets, scroll position
    std::unique_ptr<InputGrab> m_scrollTap;  // Alt + scroll, while the panel is shown
    QUuid m_sessionID = QUuid::createUuid();
    std::stop_source m_sessionStop;  // stops the waits of a start when the session ends
    std::unique_ptr<RibbonPanelView> m_panel;
    bool m_panelShown = false;  // also without a view: decides whether the grab exists
    SessionTask m_placement;
    SessionTask m_scrollAnimation;
    SessionTask m_scrollSettleTask;
    std::optional<double> m_scrollGestureStartOffset;  // target when the gesture began
    double m_scrollGestureDirection = 0;               // sign of the gesture's last step
    SessionTask m_windowMonitor;
    quint64 m_renderRevision = 0;
    bool m_resizePending = false;
    bool m_windowOrderPending = false;

    int m_dispatchDepth = 0;
    std::vector<std::unique_ptr<RibbonPanelView>> m_retiredPanels;
};

}  // namespace tessora
