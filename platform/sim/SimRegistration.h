#pragma once

#include "platform/WindowSystem.h"

#include <memory>
#include <vector>

namespace tessora {

// The handle of one entry (with an `id`) in a registry of the simulated desktop's input paths:
// destroying it removes the entry, unless the registry has gone first.
template <typename Registry>
class SimRegistration final : public InputGrab {
public:
    SimRegistration(std::weak_ptr<Registry> registry, int id)
        : m_registry(std::move(registry)), m_id(id) {}
    ~SimRegistration() override {
        if (const std::shared_ptr<Registry> registry = m_registry.lock()) {
            std::erase_if(registry->entries, [this](const auto& e) { return e.id == m_id; });
        }
    }

private:
    std::weak_ptr<Registry> m_registry;
    int m_id;
};

}  // namespace tessora
