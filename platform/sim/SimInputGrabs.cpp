#include "platform/sim/SimInputGrabs.h"

#include <algorithm>
#include <vector>

namespace tessora {

struct SimInputGrabs::Registry {
    struct Entry {
        int id = 0;
        ScrollGrabRule rule;
        std::function<void(const ScrollInput&)> scroll;
        std::function<void(const KeyStroke&)> key;
        std::optional<Clock::TimePoint> gestureEnd;  // while a gesture holds the pointer
    };
    std::vector<Entry> entries;  // oldest first
    int lastId = 0;

    template <typename Handler>
    Entry* newest(Handler Entry::*handler) {
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
            if ((*it).*handler) {
                return &*it;
            }
        }
        return nullptr;
    }
};

// Releases its entry when destroyed; harmless once the grabs are gone.
class SimInputGrabs::Grab final : public InputGrab {
public:
    Grab(std::weak_ptr<Registry> registry, int id) : m_registry(std::move(registry)), m_id(id) {}
    ~Grab() override {
        if (auto registry = m_registry.lock()) {
            std::erase_if(registry->entries,
                          [this](const Registry::Entry& e) { return e.id == m_id; });
        }
    }

private:
    std::weak_ptr<Registry> m_registry;
    int m_id;
};

SimInputGrabs::SimInputGrabs(const Clock& clock)
    : m_clock(clock), m_registry(std::make_shared<Registry>()) {}

std::unique_ptr<InputGrab> SimInputGrabs::grabScroll(
    ScrollGrabRule rule, std::function<void(const ScrollInput&)> handler) {
    if (m_refused) {
        return nullptr;
    }
    const int id = ++m_registry->lastId;
    m_registry->entries.push_back({id, rule, std::move(handler), {}, {}});
    return std::make_unique<Grab>(m_registry, id);
}

std::unique_ptr<InputGrab> SimInputGrabs::grabKeys(std::function<void(const KeyStroke&)> handler) {
    if (m_refused) {
        return nullptr;
    }
    const int id = ++m_registry->lastId;
    m_registry->entries.push_back({id, {}, {}, std::move(handler), {}});
    return std::make_unique<Grab>(m_registry, id);
}

bool SimInputGrabs::scrollHeld() const {
    const Registry::Entry* grab = m_registry->newest(&Registry::Entry::scroll);
    return grab && grab->gestureEnd && m_clock.now() < *grab->gestureEnd;
}

std::optional<InputDecision> SimInputGrabs::scroll(const ScrollInput& input) {
    Registry::Entry* grab = m_registry->newest(&Registry::Entry::scroll);
    const bool held = scrollHeld();
    if (!grab || (!held && !input.modifiers.testFlag(KeyModifier::Alt))) {
        return std::nullopt;  // nothing grabs it
    }
    const bool moves = input.deltaX != 0 || input.deltaY != 0;
    if (!moves || (!held && !grab->rule.area.contains(input.location))) {
        grab->gestureEnd.reset();  // passed on: a gesture is over
        return InputDecision::Pass;
    }
    if (grab->rule.gesture.count() > 0) {
        grab->gestureEnd = m_clock.now() + grab->rule.gesture;
    }
    const auto handler = grab->scroll;  // the handler may release its own grab
    handler(input);
    return InputDecision::Swallow;
}

std::optional<InputDecision> SimInputGrabs::pressKey(const KeyStroke& input) {
    const bool arrow = input.key == keysym::left || input.key == keysym::right;
    const KeyModifiers needed = KeyModifier::Super | KeyModifier::Alt;
    Registry::Entry* grab = m_registry->newest(&Registry::Entry::key);
    if (!arrow || (input.modifiers & needed) != needed || !grab) {
        return std::nullopt;
    }
    const auto handler = grab->key;
    handler(input);
    return InputDecision::Swallow;
}

int SimInputGrabs::live() const {
    return static_cast<int>(m_registry->entries.size());
}

}  // namespace tessora
