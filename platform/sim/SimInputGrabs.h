#pragma once

#include "platform/WindowSystem.h"

#include <functional>
#include <memory>
#include <optional>

namespace tessora {

// The global input grabs of the simulated desktop. Tests inject events; each reaches the
// newest live grab that covers it (Alt+scroll; Super+Alt+Left/Right with anything else held)
// and yields that grab's decision, or nothing when no grab takes it. Grab handles may outlive
// this object.
class SimInputGrabs {
public:
    SimInputGrabs();

    // While refused, grabs are absent (nullptr), as when another client holds the input.
    void setRefused(bool refused) { m_refused = refused; }
    std::unique_ptr<InputGrab> grabScroll(std::function<InputDecision(const ScrollInput&)> handler);
    std::unique_ptr<InputGrab> grabKeys(std::function<InputDecision(const KeyStroke&)> handler);

    // Holds the pointer for the newest scroll grab: until the hold goes, every scroll reaches
    // that grab, with Alt or without; the first one it passes on ends the hold. Null without a
    // scroll grab, or while refused.
    std::unique_ptr<InputGrab> holdScroll();
    bool scrollHeld() const;

    std::optional<InputDecision> scroll(const ScrollInput& input);
    std::optional<InputDecision> pressKey(const KeyStroke& input);
    int live() const;

private:
    struct Registry;
    class Grab;
    class Hold;

    std::shared_ptr<Registry> m_registry;
    bool m_refused = false;
};

}  // namespace tessora
