#include "arrange/StackIndicatorInput.h"

#include <cmath>

namespace tessora::stackindicator {

ScrollCycler::Outcome ScrollCycler::handle(const ScrollInput& input, const WindowRect& tile) {
    if (!input.modifiers.testFlag(KeyModifier::Alt) || !tile.contains(input.location)) {
        return {};
    }
    const bool horizontal = input.deltaX != 0;
    const double delta = horizontal ? input.deltaX : input.deltaY;
    if (delta == 0) {
        return {};
    }
    m_accumulated += horizontal ? delta : -delta;

    const double threshold = input.precise ? preciseScrollThreshold : wheelScrollThreshold;
    Outcome outcome{InputDecision::Swallow, 0};
    if (std::abs(m_accumulated) >= threshold) {
        outcome.step = m_accumulated > 0 ? 1 : -1;
        m_accumulated = 0;
    }
    return outcome;
}

std::optional<int> cycleStepForKey(const KeyStroke& input) {
    const KeyModifiers required = KeyModifier::Super | KeyModifier::Alt;
    if ((input.modifiers & required) != required) {
        return std::nullopt;
    }
    switch (input.key) {
        case keysym::right:
            return 1;
        case keysym::left:
            return -1;
        default:
            return std::nullopt;
    }
}

}  // namespace tessora::stackindicator
