#pragma once

#include "platform/Keys.h"

#include <QString>

namespace tessora {

// The stored label of a shortcut: the symbols of its modifiers in the order ⌃ (Super) ⌥ (Alt)
// ⇧ (Shift) ⌘ (Ctrl), then the key: "esc", "Space", the characters it types in upper case, else
// the key's name, else "Key" and its keysym.
QString shortcutLabel(const KeyStroke& key, const QString& characters);

// Whether `label` names exactly `combination`, as a recording of it could have written it (with
// the key's name, or for a keypad key with the character it types). A label that does not is
// someone else's text, or left from another combination.
bool labelDescribes(const QString& label, const KeyStroke& combination);

}  // namespace tessora
