#pragma once

#include "core/Clock.h"
#include "platform/WindowSystem.h"

#include <functional>
#include <memory>
#include <optional>

namespace tessora {

// The global input grabs of the simulated desktop. Tests inject events; each reaches the
// newest live grab that covers it (Alt+scroll, or any scroll while a gesture holds the
// pointer; Super+Alt+Left/Right with anything else held), which decides by its rule as the
// window system does, at once: the events it takes reach its handler (synchronously here) and
// yield Swallow, the others Pass. Grab handles may outlive this object.
class SimInputGrabs {
public:
    explicit SimInputGrabs(const Clock& clock);

    // While refused, grabs are absent (nullptr), as when another client holds the input.
    void setRefused(bool refused) { m_refused = refused; }
    std::unique_ptr<InputGrab> grabScroll(ScrollGrabRule rule,
                                          std::function<void(const ScrollInput&)> handler);
    std::unique_ptr<InputGrab> grabKeys(std::function<void(const KeyStroke&)> handler);

    // A gesture of the newest scroll grab holds the pointer: since its last taken event, less
    // than the rule's gesture time has passed and nothing was passed on.
    bool scrollHeld() const;

    std::optional<InputDecision> scroll(const ScrollInput& input);
    std::optional<InputDecision> pressKey(const KeyStroke& input);
    int live() const;

private:
    struct Registry;
    class Grab;

    const Clock& m_clock;
    std::shared_ptr<Registry> m_registry;
    bool m_refused = false;
};

}  // namespace tessora
