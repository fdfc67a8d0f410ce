#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// The key vocabulary of the key rules and of stored shortcuts: macOS virtual key codes (the
// positions of an ANSI keyboard), mapped to and from X keysyms. Pure tables, usable by every
// backend and by the views.
namespace tessora::mackeys {

// The X keysym the key produces without modifiers: lower-case letters, "1" rather than "!".
// Absent for a code this table does not know.
std::optional<quint32> keysymForKeyCode(quint32 keyCode);

// The key that produces `keysym`. Pass the key's keysym without modifiers; upper-case letters
// and Shift+Tab (ISO_Left_Tab) are understood too, other shifted symbols are not (which key
// gives "!" depends on the layout).
std::optional<quint32> keyCodeForKeysym(quint32 keysym);

// The modifier keys themselves (Ctrl, Shift, Alt, Super, Caps Lock, Fn): pressing one alone
// is not a key combination.
bool isModifierKey(quint32 keyCode);

// A short name for the key as this platform writes it: "esc", "Space", "Return", "Backspace",
// "Delete", "F5", "←", "PgUp", "Num 5", letters and digits as they are engraved ("A", "7", ";").
// Empty for a code without a name.
QString keyName(quint32 keyCode);

}  // namespace tessora::mackeys
