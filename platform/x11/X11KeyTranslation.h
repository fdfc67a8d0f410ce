#pragma once

#include "platform/WindowSystem.h"
#include "platform/x11/GlobalInput.h"

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <QString>

namespace tessora::x11 {

// Key code of a typed key that has no macOS virtual key code (a letter of a non-Latin layout,
// a media key). 0 cannot serve: it is the code of A.
inline constexpr quint32 kNoMacKeyCode = 0xFFFF;

// The first two keysyms of a key (its first group), as xcb-keysyms gives them: a letter's
// second keysym is its upper case even when the map lists only one.
struct KeyLevels {
    xcb_keysym_t base = 0;     // without Shift
    xcb_keysym_t shifted = 0;  // with Shift; 0 when the key has none
};
KeyLevels keyLevels(xcb_key_symbols_t* symbols, xcb_keycode_t key);

// The keysym the key produces in the modifier `state`, by the usual rules of the first group:
// Shift picks the second level; Caps Lock does so for letters only, and cancels Shift on them;
// with NumLock on, keypad keys give their digits unless Shift is held. The second group
// (Mode_switch, AltGr levels) and dead keys are not followed.
xcb_keysym_t levelKeysym(const KeyLevels& levels, uint16_t state, uint16_t numLockMask);

// The text a keysym types: Latin-1 and Unicode keysyms and the keypad's characters. Empty for
// keys that type nothing (Return, Backspace, arrows, function keys) and for the legacy keysyms
// of other scripts, which this conversion does not cover.
QString keysymText(xcb_keysym_t keysym);

// A key press normalised: macOS key code (kNoMacKeyCode when there is none), modifier flags, the
// text it types (none while Ctrl or Super is held: those make shortcuts, not text) and its keysym.
TypedKey typedKey(const KeyLevels& levels, uint16_t state, const ModifierMasks& masks);

}  // namespace tessora::x11
