// What the simulated window manager does beyond placing windows where asked: holding them to
// their size hints, keeping them on screen when so scripted, and minimizing them.
#include "platform/sim/SimWindowSystem.h"

#include <algorithm>
#include <cmath>

namespace tessora {
namespace {

// One dimension held to the window's minimum and rounded down to its size increments, as a
// window manager applies WM_NORMAL_HINTS.
double fitDimension(double requested, double minimum, double increment, double base) {
    double value = std::max(requested, minimum);
    if (increment > 0 && value > base) {
        value = base + std::floor((value - base) / increment) * increment;
        if (value < minimum) {
            value += increment;
        }
    }
    return value;
}
}  // namespace

WindowRect SimWindowSystem::constrained(const SimWindow& window,
                                        const WindowRect& requested) const {
    const Size& min = window.minimumSize;
    const Size& inc = window.sizeIncrement;
    const Size& base = window.baseSize;
    return {requested.x, requested.y,
            fitDimension(requested.width, min.width, inc.width, base.width),
            fitDimension(requested.height, min.height, inc.height, base.height)};
}


Size SimWindowSystem::attainableSize(WindowId id, const Size& wanted) const {
    const auto found = m_windows.find(id);
    if (found == m_windows.end()) {
        return wanted;
    }
    return constrained(found->second, {0, 0, wanted.width, wanted.height}).size();
}

WindowRect SimWindowSystem::keptOnScreen(const WindowRect& frame) const {
    if (!m_keepOnScreen || m_screens.isEmpty()) {
        return frame;
    }
    double left = m_screens.front().frame.minX();
    double right = m_screens.front().frame.maxX();
    for (const Screen& screen : m_screens) {
        left = std::min(left, screen.frame.minX());
        right = std::max(right, screen.frame.maxX());
    }
    const double visible = std::min(*m_keepOnScreen, frame.width);
    WindowRect kept = frame;
    kept.x = std::clamp(frame.x, left + visible - frame.width, right - visible);
    return kept;
}

void SimWindowSystem::setMinimized(WindowId id, bool minimized) {
    SimWindow* window = liveWindow(id);
    if (!window) {
        return;
    }
    ++window->minimizeRequests;
    if (minimized) {
        window->minimized = true;
        return;
    }
    // Back as a taskbar brings it: raised and active, once the window manager has done it.
    ++window->unminimizes;
    auto restore = [this, id] {
        if (SimWindow* w = liveWindow(id); w && w->minimized) {
            w->minimized = false;
            setActiveWindow(id);
        }
    };
    if (window->settleDelay > Clock::Duration::zero()) {
        later(window->settleDelay, restore);
    } else {
        restore();
    }
}

}  // namespace tessora
