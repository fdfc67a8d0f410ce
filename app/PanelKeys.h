#pragma once

#include "platform/WindowSystem.h"

namespace tessora {

// Escape hides the launcher panel only when none of Shift, Super, Alt and Ctrl is held
// (Alt+Escape and the like go on to the panel's content). Ctrl+Period, the other key that asks
// to cancel, is held with Ctrl and so never hides it either.
inline bool keyHidesPanel(const KeyInput& key) {
    constexpr quint32 anyModifier =
        KeyModifiers::shift | KeyModifiers::control | KeyModifiers::option | KeyModifiers::command;
    return key.keyCode == KeyCodes::escape && (key.modifiers & anyModifier) == 0;
}

}  // namespace tessora
