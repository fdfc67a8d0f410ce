#pragma once

#include "arrange/StackIndicatorGeometry.h"
#include "arrange/StackIndicatorInput.h"
#include "arrange/StackIndicatorView.h"
#include "arrange/WindowHandle.h"
#include "core/Clock.h"
#include "core/Geometry.h"
#include "platform/WindowSystem.h"

#include <QList>
#include <QMetaObject>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace tessora {

// The pill beside a tile that holds several stacked windows: one dot per window still visible
// there, the active one long. A click on a dot, Alt+scroll over the tile, or Super+Alt+Left/Right
// anywhere focuses another window of the stack. The indicator follows the windows on its own: it
// re-checks them every half second, whenever the active window changes and whenever the current
// desktop changes; closed windows leave it for good, and it hides while fewer than two stacked
// windows are visible and goes away once fewer than two are left at all.
//
// One object shows at most one indicator at a time; whoever runs arrangements owns it.
// Main thread only.
class WindowStackIndicator {
public:
    static constexpr Clock::Duration syncInterval = std::chrono::milliseconds(500);

    WindowStackIndicator(WindowSystem& windows, Clock& clock, StackIndicatorViewFactory makeView);
    ~WindowStackIndicator();

    WindowStackIndicator(const WindowStackIndicator&) = delete;
    WindowStackIndicator& operator=(const WindowStackIndicator&) = delete;

    // Marks `tile` of `area` (window space) as holding `windows`, in placement order; `gap` is the
    // spacing the placement used, which decides where the pill fits. Replaces any indicator
    // shown before; with fewer than two windows there is then none.
    void show(const QList<WindowHandle>& windows, const WindowRect& area, const WindowRect& tile,
              double gap);
    // Removes the indicator with its pill, input grabs and observers; harmless when none exists.
    void hide();
    // Re-checks the stacked windows now; nothing when no indicator exists.
    void sync();

    // --- state, for the owner and for tests
    bool exists() const { return m_stack.has_value(); }
    bool isPanelVisible() const { return m_panelVisible; }
    // The windows the dots stand for, in dot order (empty when none exists).
    QList<WindowHandle> liveWindows() const;
    int activeIndex() const { return m_stack ? m_stack->activeIndex : -1; }
    WindowRect tileFrame() const { return m_stack ? m_stack->tile : WindowRect{}; }
    double scrollAccumulated() const { return m_scroll.accumulated(); }

private:
    struct Stack {
        QList<WindowHandle> tracked;  // only ever shrinks
        QList<WindowHandle> live;     // visible in the tile; one dot each
        int activeIndex = 0;
        WindowRect tile;
        stackindicator::Placement placement;
    };

    void present();
    void refresh();
    void select(int index);
    void cycle(int step);
    void click(QPointF point);
    void handleScroll(const ScrollInput& input);
    void handleKey(const KeyStroke& input);
    void grabInput();
    void observe();
    void scheduleSync();
    void retire();
    // Runs a callback that comes from the pill or an input grab. Whatever hide() takes down
    // meanwhile (possibly the very object that is calling) is destroyed only once it returned.
    template <class F>
    auto dispatch(F&& callback);

    WindowSystem& m_windows;
    Clock& m_clock;
    StackIndicatorViewFactory m_makeView;

    std::optional<Stack> m_stack;
    std::unique_ptr<StackIndicatorView> m_view;
    bool m_panelVisible = false;
    stackindicator::ScrollCycler m_scroll;
    std::unique_ptr<InputGrab> m_scrollGrab;
    std::unique_ptr<InputGrab> m_keyGrab;
    Clock::TimerId m_syncTimer = 0;
    QList<QMetaObject::Connection> m_connections;

    int m_dispatchDepth = 0;
    std::vector<std::unique_ptr<StackIndicatorView>> m_retiredViews;
    std::vector<std::unique_ptr<InputGrab>> m_retiredGrabs;
};

}  // namespace tessora
