#include "platform/sim/SimShellInput.h"
#include "platform/sim/SimWindowSystem.h"

namespace tessora {

struct SimKeyboardHold::State {
    int holdId = 0;  // the live hold's, 0 when none
    int lastId = 0;
    std::function<void(const TypedKey&)> handler;
};

class SimKeyboardHold::Handle final : public InputGrab {
public:
    Handle(std::weak_ptr<State> state, int id) : m_state(std::move(state)), m_id(id) {}
    ~Handle() override {
        if (const std::shared_ptr<State> state = m_state.lock(); state && state->holdId == m_id) {
            state->holdId = 0;
            state->handler = nullptr;
        }
    }

private:
    std::weak_ptr<State> m_state;
    int m_id;
};

SimKeyboardHold::SimKeyboardHold() : m_state(std::make_shared<State>()) {}

std::unique_ptr<InputGrab> SimKeyboardHold::hold(std::function<void(const TypedKey&)> handler) {
    if (m_refused || !handler || m_state->holdId != 0) {
        return nullptr;
    }
    m_state->holdId = ++m_state->lastId;
    m_state->handler = std::move(handler);
    return std::make_unique<Handle>(m_state, m_state->holdId);
}

bool SimKeyboardHold::type(const TypedKey& key) {
    if (m_state->holdId == 0) {
        return false;
    }
    const std::function<void(const TypedKey&)> handler = m_state->handler;  // may end the hold
    handler(key);
    return true;
}

bool SimKeyboardHold::held() const {
    return m_state->holdId != 0;
}

void SimWindowSystem::preparePanelWindow(WindowId ownWindow) {
    m_preparedWindows.append(ownWindow);
}

void SimWindowSystem::activateOwnWindow(WindowId ownWindow) {
    m_activatedWindows.append(ownWindow);
}

std::unique_ptr<InputGrab> SimWindowSystem::holdKeyboard(
    std::function<void(const TypedKey&)> handler) {
    return m_keyboardHold.hold(std::move(handler));
}

}  // namespace tessora
