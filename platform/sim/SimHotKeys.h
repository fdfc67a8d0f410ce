#pragma once

#include "platform/WindowSystem.h"

#include <functional>
#include <memory>

namespace tessora {

// The hot keys of the simulated desktop. A combination that a test marks as taken is held by
// another program: grabbing it gives nothing. A press reaches the newest live hot key of that
// exact combination. Handles may outlive this object.
class SimHotKeys {
public:
    SimHotKeys();

    void setTaken(const KeyStroke& combination, bool taken);
    std::unique_ptr<InputGrab> grab(const KeyStroke& combination, std::function<void()> onPress);
    // True when a live hot key took the press.
    bool press(const KeyStroke& combination);
    int live() const;

private:
    struct Registry;

    std::shared_ptr<Registry> m_registry;
};

}  // namespace tessora
