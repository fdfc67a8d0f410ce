#pragma once

#include "platform/Keys.h"

#include <optional>

namespace tessora {

// The global shortcut as settings.json stores it, in the form earlier editions wrote it: the
// virtual key code of the key's place on an ANSI keyboard ("shortcutCode") and a modifier mask
// ("shortcutModifiers": 256 for Ctrl, 512 for Shift, 2048 for Alt, 4096 for Super). Nothing but
// this codec reads or writes those numbers.
struct StoredShortcut {
    quint32 keyCode = 0;
    quint32 modifiers = 0;

    friend bool operator==(const StoredShortcut&, const StoredShortcut&) = default;
};

// Ctrl+Escape, which the stored label "⌘esc" stands for.
inline constexpr StoredShortcut defaultStoredShortcut{53, 256};

// The stroke of a stored shortcut; none for a key code this keyboard vocabulary lacks, or for a
// mask with bits above the 16 that modifier flags use (a corrupt value). The flags other than
// the four modifiers (Caps Lock, the right-hand keys) are ignored.
std::optional<KeyStroke> decodeShortcut(const StoredShortcut& stored);
// The stored form of a stroke; none for a key that has no virtual key code (a media key).
std::optional<StoredShortcut> encodeShortcut(const KeyStroke& stroke);

}  // namespace tessora
