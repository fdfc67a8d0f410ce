#include "platform/sim/SimShellInput.h"

#include "platform/sim/SimRegistration.h"
#include "platform/sim/SimWindowSystem.h"

#include <algorithm>
#include <vector>

namespace tessora {

struct SimButtonWatchers::Registry {
    struct Entry {
        int id = 0;
        std::function<void(QPointF)> handler;
    };
    std::vector<Entry> entries;  // oldest first
    int lastId = 0;

    bool contains(int id) const {
        return std::any_of(entries.begin(), entries.end(),
                           [id](const Entry& e) { return e.id == id; });
    }
};

SimButtonWatchers::SimButtonWatchers() : m_registry(std::make_shared<Registry>()) {}

std::unique_ptr<InputGrab> SimButtonWatchers::watch(std::function<void(QPointF)> handler) {
    if (m_refused || !handler) {
        return nullptr;
    }
    const int id = ++m_registry->lastId;
    m_registry->entries.push_back({id, std::move(handler)});
    return std::make_unique<SimRegistration<Registry>>(m_registry, id);
}

int SimButtonWatchers::click(QPointF location) {
    // A copy: a handler may end its own watch or another one.
    const std::vector<Registry::Entry> entries = m_registry->entries;
    const std::shared_ptr<Registry> registry = m_registry;
    int reached = 0;
    for (const Registry::Entry& entry : entries) {
        if (registry->contains(entry.id)) {
            entry.handler(location);
            ++reached;
        }
    }
    return reached;
}

int SimButtonWatchers::live() const {
    return static_cast<int>(m_registry->entries.size());
}

std::unique_ptr<InputGrab> SimWindowSystem::watchButtonPresses(
    std::function<void(QPointF location)> handler) {
    return m_buttonWatchers.watch(std::move(handler));
}

}  // namespace tessora
