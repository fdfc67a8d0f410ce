#pragma once

#include "platform/Keys.h"

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <QString>

// Translation of X key events into the system's key vocabulary: pure functions of the keysyms
// a key carries and the modifier state, so that they are tested without a server.
namespace tessora::x11 {

// The modifier bits of this server's keyboard map (Alt, Super and NumLock are not fixed bits).
struct ModifierMasks {
    uint16_t alt = XCB_MOD_MASK_1;
    uint16_t super = XCB_MOD_MASK_4;
    uint16_t numLock = XCB_MOD_MASK_2;
    uint16_t scrollLock = 0;  // 0 when not on the map, or sharing a bit with another modifier

    // Caps Lock, NumLock and Scroll Lock: on or off, they do not change a combination.
    uint16_t locks() const { return XCB_MOD_MASK_LOCK | numLock | scrollLock; }
};

// Shift, Ctrl, Alt and Super of an X modifier state, and back.
KeyModifiers keyModifiers(uint16_t state, const ModifierMasks& masks);
uint16_t modifierState(KeyModifiers modifiers, const ModifierMasks& masks);

// The first two keysyms of a key (its first group), as xcb-keysyms gives them: a letter's
// second keysym is its upper case even when the map lists only one.
struct KeyLevels {
    xcb_keysym_t base = 0;     // without Shift
    xcb_keysym_t shifted = 0;  // with Shift; 0 when the key has none
};
KeyLevels keyLevels(xcb_key_symbols_t* symbols, xcb_keycode_t key);

// What the key means, whatever the modifiers: its unshifted keysym (see unshifted()); the digit
// of a keypad key, whether NumLock is on or not; and, for a key of the typing block that means
// no Latin character on this layout (a Cyrillic letter, say), the key of the US layout at its
// place, so that Ctrl+C is C on every layout. `keycode` is the key's X key code (evdev + 8).
Keysym keyMeaning(const KeyLevels& levels, xcb_keycode_t keycode);

// The keysym the key produces in the modifier `state`, by the usual rules of the first group:
// Shift picks the second level; Caps Lock does so for letters only, and cancels Shift on them;
// with NumLock on, keypad keys give their digits unless Shift is held. The second group
// (Mode_switch, AltGr levels) and dead keys are not followed.
xcb_keysym_t levelKeysym(const KeyLevels& levels, uint16_t state, uint16_t numLockMask);

// The text a keysym types: Latin-1 and Unicode keysyms and the keypad's characters. Empty for
// keys that type nothing (Return, Backspace, arrows, function keys) and for the legacy keysyms
// of other scripts, which this conversion does not cover.
QString keysymText(xcb_keysym_t keysym);

// A key press: its stroke and the text it types (none while Ctrl or Super is held: those make
// shortcuts, not text).
TypedKey typedKey(const KeyLevels& levels, xcb_keycode_t keycode, uint16_t state,
                  const ModifierMasks& masks);

}  // namespace tessora::x11
