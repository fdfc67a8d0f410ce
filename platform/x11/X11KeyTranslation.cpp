#include "platform/x11/X11KeyTranslation.h"

#include "platform/MacKeyCodes.h"

#include <cstdlib>
#include <memory>

namespace tessora::x11 {

namespace {

constexpr xcb_keysym_t kKeypadSpace = 0xff80;
constexpr xcb_keysym_t kKeypadFirstSymbol = 0xffaa;  // KP_Multiply; up to KP_9 they are ASCII
constexpr xcb_keysym_t kKeypadNine = 0xffb9;
constexpr xcb_keysym_t kKeypadEqual = 0xffbd;
constexpr xcb_keysym_t kUnicodeBase = 0x01000000;

// The modifier bit of the first modifier whose keys include one that produces `symbol`.

bool isKeypadSymbol(xcb_keysym_t keysym) {
    return keysym >= kKeypadSpace && keysym <= kKeypadEqual;
}

// A letter with distinct lower and upper cases: the only keys Caps Lock shifts.
bool isCasedLetter(const KeyLevels& levels) {
    const QString lower = keysymText(levels.base);
    const QString upper = keysymText(levels.shifted);
    return lower.size() == 1 && upper.size() == 1 && lower != upper && lower.at(0).isLetter() &&
           lower.toUpper() == upper;
}

}  // namespace

KeyLevels keyLevels(xcb_key_symbols_t* symbols, xcb_keycode_t key) {
    return KeyLevels{xcb_key_symbols_get_keysym(symbols, key, 0),
                     xcb_key_symbols_get_keysym(symbols, key, 1)};
}

xcb_keysym_t levelKeysym(const KeyLevels& levels, uint16_t state, uint16_t numLockMask) {
    const bool shift = state & XCB_MOD_MASK_SHIFT;
    if (numLockMask != 0 && (state & numLockMask) && isKeypadSymbol(levels.shifted)) {
        return shift ? levels.base : levels.shifted;
    }
    bool second = shift;
    if ((state & XCB_MOD_MASK_LOCK) && isCasedLetter(levels)) {
        second = !second;
    }
    return second && levels.shifted != 0 ? levels.shifted : levels.base;
}

QString keysymText(xcb_keysym_t keysym) {
    char32_t character = 0;
    if ((keysym >= 0x20 && keysym <= 0x7e) || (keysym >= 0xa0 && keysym <= 0xff)) {
        character = keysym;  // Latin-1 keysyms are their code points
    } else if (keysym >= kUnicodeBase + 0x100 && keysym <= kUnicodeBase + 0x10ffff) {
        character = keysym - kUnicodeBase;
    } else if (keysym == kKeypadSpace) {
        character = U' ';
    } else if ((keysym >= kKeypadFirstSymbol && keysym <= kKeypadNine) || keysym == kKeypadEqual) {
        character = keysym - 0xff80;  // KP_Multiply is '*', ... KP_9 is '9', KP_Equal is '='
    }
    if (character == 0 || !QChar::isPrint(character)) {
        return {};
    }
    return QString::fromUcs4(&character, 1);
}

TypedKey typedKey(const KeyLevels& levels, uint16_t state, const ModifierMasks& masks) {
    TypedKey typed;
    typed.keysym = levelKeysym(levels, state, masks.numLock);
    std::optional<quint32> code = mackeys::keyCodeForKeysym(levels.base);
    if (!code && levels.shifted != 0) {
        code = mackeys::keyCodeForKeysym(levels.shifted);  // keypad digits live on level 2
    }
    typed.key.keyCode = code.value_or(kNoMacKeyCode);
    typed.key.modifiers = keyModifierFlags(state, masks);
    const bool shortcut = typed.key.modifiers & (KeyModifiers::command | KeyModifiers::control);
    if (!shortcut) {
        typed.text = keysymText(typed.keysym);
    }
    return typed;
}

}  // namespace tessora::x11
