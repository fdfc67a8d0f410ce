#pragma once

#include "platform/WindowSystem.h"

#include <QPointF>
#include <functional>
#include <memory>

namespace tessora {

// Button presses watched anywhere on the simulated desktop. A click reaches every live watcher,
// oldest first. Handles may outlive this object.
class SimButtonWatchers {
public:
    SimButtonWatchers();

    // While refused, watching is absent (nullptr), as on a server without XInput 2.
    void setRefused(bool refused) { m_refused = refused; }
    std::unique_ptr<InputGrab> watch(std::function<void(QPointF)> handler);
    // The number of watchers the click reached.
    int click(QPointF location);
    int live() const;

private:
    struct Registry;

    std::shared_ptr<Registry> m_registry;
    bool m_refused = false;
};

// The keyboard held by the shell on the simulated desktop: one hold at a time; refused while
// another program holds the keyboard. Handles may outlive this object.
class SimKeyboardHold {
public:
    SimKeyboardHold();

    void setRefused(bool refused) { m_refused = refused; }
    std::unique_ptr<InputGrab> hold(std::function<void(const TypedKey&)> handler);
    // False when no hold is live (the key would have gone to the focused window).
    bool type(const TypedKey& key);
    bool held() const;

private:
    struct State;
    class Handle;

    std::shared_ptr<State> m_state;
    bool m_refused = false;
};

}  // namespace tessora
