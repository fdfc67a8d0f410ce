#include "platform/sim/SimHotKeys.h"

#include "platform/sim/SimRegistration.h"
#include "platform/sim/SimWindowSystem.h"

#include <QSet>
#include <vector>

namespace tessora {

namespace {

quint64 keyOf(const KeyStroke& combination) {
    return (quint64(combination.key) << 8) | quint64(combination.modifiers.toInt());
}

}  // namespace

struct SimHotKeys::Registry {
    struct Entry {
        int id = 0;
        quint64 combination = 0;
        std::function<void()> onPress;
    };
    std::vector<Entry> entries;  // oldest first
    QSet<quint64> taken;
    int lastId = 0;
};

SimHotKeys::SimHotKeys() : m_registry(std::make_shared<Registry>()) {}

void SimHotKeys::setTaken(const KeyStroke& combination, bool taken) {
    if (taken) {
        m_registry->taken.insert(keyOf(combination));
    } else {
        m_registry->taken.remove(keyOf(combination));
    }
}

std::unique_ptr<InputGrab> SimHotKeys::grab(const KeyStroke& combination,
                                            std::function<void()> onPress) {
    if (!onPress || m_registry->taken.contains(keyOf(combination))) {
        return nullptr;
    }
    const int id = ++m_registry->lastId;
    m_registry->entries.push_back({id, keyOf(combination), std::move(onPress)});
    return std::make_unique<SimRegistration<Registry>>(m_registry, id);
}

bool SimHotKeys::press(const KeyStroke& combination) {
    const quint64 key = keyOf(combination);
    for (auto it = m_registry->entries.rbegin(); it != m_registry->entries.rend(); ++it) {
        if (it->combination == key) {
            const std::function<void()> onPress = it->onPress;  // it may release its own hot key
            onPress();
            return true;
        }
    }
    return false;
}

int SimHotKeys::live() const {
    return static_cast<int>(m_registry->entries.size());
}

std::unique_ptr<InputGrab> SimWindowSystem::grabHotKey(const KeyStroke& combination,
                                                       std::function<void()> onPress) {
    return m_hotKeys.grab(combination, std::move(onPress));
}

}  // namespace tessora
