#pragma once

#include "core/Geometry.h"
#include "platform/WindowSystem.h"

#include <optional>

// The two global inputs that cycle through a window stack: Alt+scroll over the stacked tile and
// Super+Alt+Left/Right anywhere. The window system takes them by the grabs' rules, without
// asking; the decisions here are the same rules, so that only what was taken is counted.
namespace tessora::stackindicator {

// Scrolling one step on a touchpad takes this many points of smooth delta; a wheel notch
// (delta 1) is one step by itself.
inline constexpr double preciseScrollThreshold = 30;
inline constexpr double wheelScrollThreshold = 1;

// Adds up Alt+scroll deltas over the stacked tile until they amount to one cycling step.
class ScrollCycler {
public:
    struct Outcome {
        InputDecision decision = InputDecision::Pass;
        int step = 0;  // +1 or −1 when this event completed a step, else 0
    };

    // Events without Alt, outside `tile` or without any delta pass; every other event is
    // swallowed, whether or not it completes a step. A horizontal delta counts as given, a
    // vertical one with its sign reversed (deltaY grows when the content is pulled down, i.e.
    // towards the previous window).
    Outcome handle(const ScrollInput& input, const WindowRect& tile);

    double accumulated() const { return m_accumulated; }
    void reset() { m_accumulated = 0; }

private:
    double m_accumulated = 0;
};

// +1 for Super+Alt+Right, −1 for Super+Alt+Left (other modifiers may be held too); none for any
// other key, which then passes.
std::optional<int> cycleStepForKey(const KeyStroke& input);

}  // namespace tessora::stackindicator
