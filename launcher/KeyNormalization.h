#pragma once

#include "platform/WindowSystem.h"

#include <Qt>

class QKeyEvent;

namespace tessora {

// macOS virtual key codes (ANSI positions) of the keys the launcher's rules name.
namespace MacKey {
inline constexpr quint32 c = 8;
inline constexpr quint32 one = 18;
inline constexpr quint32 two = 19;
inline constexpr quint32 returnKey = 36;
inline constexpr quint32 tab = 48;
inline constexpr quint32 space = 49;
inline constexpr quint32 deleteKey = 51;  // Backspace
inline constexpr quint32 escape = 53;
inline constexpr quint32 leftArrow = 123;
inline constexpr quint32 rightArrow = 124;
inline constexpr quint32 downArrow = 125;
inline constexpr quint32 upArrow = 126;
// A key without a virtual key code; no rule matches it.
inline constexpr quint32 unknown = 0xFFFF;
}  // namespace MacKey

// The virtual key code of a Qt key: letters, digits and punctuation by their place on the ANSI
// keyboard (shifted symbols of the US layout included, so Shift+1 is still the 1 key), Return
// and Enter, Tab and Backtab, editing, navigation and function keys. MacKey::unknown otherwise.
quint32 macKeyCode(int qtKey, bool keypad = false);

// The same from an X key code (evdev + 8), the key's physical place whatever the layout; used
// when the layout's key has no Latin meaning (a Cyrillic letter, say).
quint32 macKeyCodeFromScanCode(quint32 xKeyCode);

// Ctrl is Command, Super (Meta) is Control, Alt is Option, Shift is Shift.
quint32 macModifierFlags(Qt::KeyboardModifiers modifiers);

// A key press in the rules' vocabulary. The key comes from the event's key, not its text, so
// Ctrl+C is C whatever the text would be; when the key has no Latin meaning on an X11 display,
// the physical key decides.
KeyInput normalizedKey(const QKeyEvent& event);

}  // namespace tessora
