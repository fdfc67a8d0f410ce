#include "platform/x11/X11WindowSystem.h"

#include "platform/x11/HotKeyGrabs.h"
#include "platform/x11/X11Connection.h"

namespace tessora {

std::unique_ptr<InputGrab> X11WindowSystem::grabHotKey(const KeyStroke& combination,
                                                       std::function<void()> onPress) {
    if (!m_hotKeys) {
        m_hotKeys = std::make_unique<x11::HotKeyGrabs>(*m_connection, *m_keyboard);
    }
    return m_hotKeys->grab(combination, std::move(onPress));
}

}  // namespace tessora
