#pragma once

#include "platform/Keys.h"

namespace tessora {

// Escape hides the launcher panel only when none of Shift, Super, Alt and Ctrl is held
// (Alt+Escape and the like go on to the panel's content). Ctrl+Period, the other key that asks
// to cancel, is held with Ctrl and so never hides it either.
inline bool keyHidesPanel(const KeyStroke& key) {
    return key.key == keysym::escape && !key.modifiers;
}

}  // namespace tessora
