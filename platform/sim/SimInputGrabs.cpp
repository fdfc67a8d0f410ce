#include "platform/sim/SimInputGrabs.h"

#include <algorithm>
#include <vector>

namespace tessora {

struct SimInputGrabs::Registry {
    struct Entry {
        int id = 0;
        std::function<InputDecision(const ScrollInput&)> scroll;
        std::function<InputDecision(const KeyStroke&)> key;
    };
    std::vector<Entry> entries;  // oldest first
    int lastId = 0;
    int holdId = 0;  // the live hold's, 0 when none

    template <typename Handler, typename Input>
    std::optional<InputDecision> deliver(Handler Entry::*handler, const Input& input) {
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
            if ((*it).*handler) {
                const Handler call = (*it).*handler;  // the handler may release its own grab
                return call(input);
            }
        }
        return std::nullopt;
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

// Ends its hold when destroyed, unless a later one replaced it.
class SimInputGrabs::Hold final : public InputGrab {
public:
    Hold(std::weak_ptr<Registry> registry, int id) : m_registry(std::move(registry)), m_id(id) {}
    ~Hold() override {
        if (auto registry = m_registry.lock(); registry && registry->holdId == m_id) {
            registry->holdId = 0;
        }
    }

private:
    std::weak_ptr<Registry> m_registry;
    int m_id;
};

SimInputGrabs::SimInputGrabs() : m_registry(std::make_shared<Registry>()) {}

std::unique_ptr<InputGrab> SimInputGrabs::grabScroll(
    std::function<InputDecision(const ScrollInput&)> handler) {
    if (m_refused) {
        return nullptr;
    }
    const int id = ++m_registry->lastId;
    m_registry->entries.push_back({id, std::move(handler), {}});
    return std::make_unique<Grab>(m_registry, id);
}

std::unique_ptr<InputGrab> SimInputGrabs::grabKeys(
    std::function<InputDecision(const KeyStroke&)> handler) {
    if (m_refused) {
        return nullptr;
    }
    const int id = ++m_registry->lastId;
    m_registry->entries.push_back({id, {}, std::move(handler)});
    return std::make_unique<Grab>(m_registry, id);
}

std::unique_ptr<InputGrab> SimInputGrabs::holdScroll() {
    const bool grabbed = std::any_of(m_registry->entries.begin(), m_registry->entries.end(),
                                     [](const Registry::Entry& e) { return bool(e.scroll); });
    if (m_refused || !grabbed) {
        return nullptr;
    }
    m_registry->holdId = ++m_registry->lastId;
    return std::make_unique<Hold>(m_registry, m_registry->holdId);
}

bool SimInputGrabs::scrollHeld() const {
    return m_registry->holdId != 0;
}

std::optional<InputDecision> SimInputGrabs::scroll(const ScrollInput& input) {
    const bool held = m_registry->holdId != 0;
    if (!held && !input.modifiers.testFlag(KeyModifier::Alt)) {
        return std::nullopt;
    }
    const std::optional<InputDecision> decision =
        m_registry->deliver(&Registry::Entry::scroll, input);
    if (held && decision != InputDecision::Swallow) {
        m_registry->holdId = 0;  // passed on: the hold lets go
    }
    return decision;
}

std::optional<InputDecision> SimInputGrabs::pressKey(const KeyStroke& input) {
    const bool arrow = input.key == keysym::left || input.key == keysym::right;
    const KeyModifiers needed = KeyModifier::Super | KeyModifier::Alt;
    if (!arrow || (input.modifiers & needed) != needed) {
        return std::nullopt;
    }
    return m_registry->deliver(&Registry::Entry::key, input);
}

int SimInputGrabs::live() const {
    return static_cast<int>(m_registry->entries.size());
}

}  // namespace tessora
