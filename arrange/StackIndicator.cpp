#include "arrange/StackIndicator.h"

#include "arrange/StackIndicatorWindows.h"
#include "arrange/WindowAccess.h"

#include <QLoggingCategory>
#include <algorithm>

namespace tessora {

namespace {
Q_LOGGING_CATEGORY(lcIndicator, "tessora.indicator")
}  // namespace

using namespace stackindicator;

WindowStackIndicator::WindowStackIndicator(WindowSystem& windows, Clock& clock,
                                           StackIndicatorViewFactory makeView)
    : m_windows(windows), m_clock(clock), m_makeView(std::move(makeView)) {}

WindowStackIndicator::~WindowStackIndicator() {
    hide();
}

QList<WindowHandle> WindowStackIndicator::liveWindows() const {
    return m_stack ? m_stack->live : QList<WindowHandle>{};
}

template <class F>
auto WindowStackIndicator::dispatch(F&& callback) {
    ++m_dispatchDepth;
    struct Leave {
        WindowStackIndicator* self;
        ~Leave() {
            if (--self->m_dispatchDepth == 0) {
                self->m_retiredViews.clear();
                self->m_retiredGrabs.clear();
            }
        }
    } leave{this};
    return callback();
}

void WindowStackIndicator::show(const QList<WindowHandle>& windows, const WindowRect& area,
                                const WindowRect& tile, double gap) {
    hide();
    if (windows.size() < 2) {
        return;
    }

    QList<StackedWindow> stacked;
    for (const WindowHandle& handle : windows) {
        stacked.append({handle, windows::windowFrame(m_windows, handle.window)});
    }
    Stack stack;
    stack.tracked = windows;
    stack.live = windows;
    stack.activeIndex =
        activeWindowIndex(m_windows.listWindows().value_or(WindowListing{}), stacked)
            .value_or(static_cast<int>(windows.size()) - 1);
    stack.tile = tile;
    stack.placement = placeIndicator(area, tile, gap);
    m_stack = std::move(stack);

    m_view = m_makeView ? m_makeView() : nullptr;
    if (m_view) {
        m_view->setClickHandler([this](QPointF point) { dispatch([&] { click(point); }); });
    } else {
        qCWarning(lcIndicator) << "No pill to show the window stack on; cycling by keys and"
                               << "scrolling still works";
    }
    present();
    grabInput();
    observe();
    scheduleSync();
}

void WindowStackIndicator::hide() {
    m_clock.cancel(m_syncTimer);
    m_syncTimer = 0;
    for (const QMetaObject::Connection& connection : std::as_const(m_connections)) {
        QObject::disconnect(connection);
    }
    m_connections.clear();
    if (m_view) {
        m_view->hide();
    }
    retire();
    m_panelVisible = false;
    m_stack.reset();
    m_scroll.reset();
}

// Drops the pill and the grabs, or parks them while one of them is still on the call stack.
void WindowStackIndicator::retire() {
    if (m_dispatchDepth > 0) {
        if (m_view) {
            m_retiredViews.push_back(std::move(m_view));
        }
        for (auto* grab : {&m_scrollGrab, &m_keyGrab}) {
            if (*grab) {
                m_retiredGrabs.push_back(std::move(*grab));
            }
        }
    }
    m_view.reset();
    m_scrollGrab.reset();
    m_keyGrab.reset();
}

void WindowStackIndicator::grabInput() {
    // Alt + scroll over the stacked tile cycles; elsewhere it belongs to the window under the
    // pointer. Each notch is a step of its own.
    m_scrollGrab = m_windows.grabOptionScroll(
        ScrollGrabRule{m_stack->tile, {}},
        [this](const ScrollInput& input) { dispatch([&] { handleScroll(input); }); });
    if (!m_scrollGrab) {
        qCWarning(lcIndicator) << "Alt+scroll is not available for cycling stacked windows";
    }
    m_keyGrab = m_windows.grabCycleKeys(
        [this](const KeyStroke& input) { dispatch([&] { handleKey(input); }); });
    if (!m_keyGrab) {
        qCWarning(lcIndicator) << "Super+Alt+Left/Right are not available for cycling stacked"
                               << "windows";
    }
}

void WindowStackIndicator::observe() {
    m_connections.append(
        QObject::connect(&m_windows, &WindowSystem::activeWindowChanged, [this] { sync(); }));
    m_connections.append(
        QObject::connect(&m_windows, &WindowSystem::currentDesktopChanged, [this] { sync(); }));
}

void WindowStackIndicator::scheduleSync() {
    m_syncTimer = m_clock.schedule(syncInterval, [this] {
        // Rescheduled first, so that a sync that ends the indicator also cancels the next one.
        scheduleSync();
        sync();
    });
}

void WindowStackIndicator::present() {
    if (!m_stack) {
        return;
    }
    m_panelVisible = true;
    if (!m_view) {
        return;
    }
    const int count = static_cast<int>(m_stack->live.size());
    const Placement& placement = m_stack->placement;
    const QList<DotSpan> spans = dotSpans(pillLength(count), count, m_stack->activeIndex);
    m_view->show(pillFrame(placement, count), placement.orientation,
                 dotRects(placement.orientation, spans));
}

// Redraws the dots when the pill is on screen; a hidden pill is redrawn when it comes back.
void WindowStackIndicator::refresh() {
    if (m_panelVisible) {
        present();
    }
}

void WindowStackIndicator::sync() {
    if (!m_stack) {
        return;
    }
    // One reading of the window list answers for every stacked window; a list that cannot be
    // read has none of them.
    const WindowListing listing = m_windows.listWindows().value_or(WindowListing{});
    m_stack->tracked = stillTracked(listing, m_stack->tracked);
    if (m_stack->tracked.size() < 2) {
        hide();
        return;
    }

    const QList<StackedWindow> visible =
        visibleInTile(m_windows, listing, m_stack->tracked, m_stack->tile);
    QList<WindowHandle> live;
    for (const StackedWindow& window : visible) {
        live.append(window.handle);
    }
    if (live.size() < 2) {
        // Keeps tracking: the windows may come back (restored, back from another desktop).
        if (m_panelVisible && m_view) {
            m_view->hide();
        }
        m_panelVisible = false;
        return;
    }

    bool changed = !m_panelVisible;
    if (live != m_stack->live) {
        m_stack->live = live;
        m_stack->activeIndex = std::min(static_cast<int>(live.size()) - 1, m_stack->activeIndex);
        changed = true;
    }
    const auto active = activeWindowIndex(listing, visible);
    if (active && *active != m_stack->activeIndex) {
        m_stack->activeIndex = *active;
        changed = true;
    }
    if (changed) {
        present();
    }
}

void WindowStackIndicator::select(int index) {
    if (!m_stack || index < 0 || index >= m_stack->live.size()) {
        return;
    }
    m_stack->activeIndex = index;
    refresh();
    // Focusing may report the new active window at once, which runs sync() and may even end
    // the indicator: nothing of the stack is touched from here on.
    const WindowHandle target = m_stack->live[index];
    windows::focusWindow(m_windows, target.app, target.window);
}

void WindowStackIndicator::cycle(int step) {
    if (!m_stack || m_stack->live.isEmpty()) {
        return;
    }
    const int count = static_cast<int>(m_stack->live.size());
    const int direction = step > 0 ? 1 : -1;
    select((m_stack->activeIndex + direction + count) % count);
}

void WindowStackIndicator::click(QPointF point) {
    if (!m_stack) {
        return;
    }
    const int count = static_cast<int>(m_stack->live.size());
    const auto spans = dotSpans(pillLength(count), count, m_stack->activeIndex);
    if (const auto index = dotAt(m_stack->placement.orientation, spans, point)) {
        select(*index);
    }
}

void WindowStackIndicator::handleScroll(const ScrollInput& input) {
    if (!m_stack) {
        return;
    }
    const ScrollCycler::Outcome outcome = m_scroll.handle(input, m_stack->tile);
    if (outcome.step != 0) {
        cycle(outcome.step);
    }
}

void WindowStackIndicator::handleKey(const KeyStroke& input) {
    if (const auto step = cycleStepForKey(input)) {
        cycle(*step);
    }
}

}  // namespace tessora
