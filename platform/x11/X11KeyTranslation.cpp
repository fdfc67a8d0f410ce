#include "platform/x11/X11KeyTranslation.h"

#include <array>

namespace tessora::x11 {

namespace {

constexpr xcb_keysym_t kKeypadSpace = 0xff80;
constexpr xcb_keysym_t kKeypadFirstSymbol = 0xffaa;    // KP_Multiply; up to KP_9 they are ASCII
constexpr xcb_keysym_t kFirstFunctionKeysym = 0xfe00;  // keypad, editing, function, modifiers
constexpr uint8_t kEvdevOffset = 8;

// The US layout's keys of the typing block, by evdev number.
// clang-format off
constexpr std::array<std::pair<uint8_t, Keysym>, 49> kUsTypingBlock = {{
    {2, '1'}, {3, '2'}, {4, '3'}, {5, '4'}, {6, '5'}, {7, '6'}, {8, '7'}, {9, '8'}, {10, '9'},
    {11, '0'}, {12, '-'}, {13, '='}, {16, 'q'}, {17, 'w'}, {18, 'e'}, {19, 'r'}, {20, 't'},
    {21, 'y'}, {22, 'u'}, {23, 'i'}, {24, 'o'}, {25, 'p'}, {26, '['}, {27, ']'}, {30, 'a'},
    {31, 's'}, {32, 'd'}, {33, 'f'}, {34, 'g'}, {35, 'h'}, {36, 'j'}, {37, 'k'}, {38, 'l'},
    {39, ';'}, {40, '\''}, {41, '`'}, {43, '\\'}, {44, 'z'}, {45, 'x'}, {46, 'c'}, {47, 'v'},
    {48, 'b'}, {49, 'n'}, {50, 'm'}, {51, ','}, {52, '.'}, {53, '/'}, {57, ' '}, {86, '\\'},
}};
// clang-format on

bool isKeypadSymbol(xcb_keysym_t keysym) {
    return keysym >= kKeypadSpace && keysym <= keysym::kpEqual;
}

bool isKeypadNumber(xcb_keysym_t keysym) {
    return (keysym >= keysym::kp0 && keysym <= keysym::kp9) || keysym == keysym::kpDecimal;
}

// A Latin-1 character, or a key that is not a character at all (Return, F5, Shift, KP_Add).
bool hasLatinMeaning(xcb_keysym_t keysym) {
    return (keysym >= 0x20 && keysym <= 0xff) ||
           (keysym >= kFirstFunctionKeysym && keysym <= 0xffff);
}

// A letter with distinct lower and upper cases: the only keys Caps Lock shifts.
bool isCasedLetter(const KeyLevels& levels) {
    const QString lower = keysymText(levels.base);
    const QString upper = keysymText(levels.shifted);
    return lower.size() == 1 && upper.size() == 1 && lower != upper && lower.at(0).isLetter() &&
           lower.toUpper() == upper;
}

}  // namespace

KeyModifiers keyModifiers(uint16_t state, const ModifierMasks& masks) {
    KeyModifiers modifiers;
    modifiers.setFlag(KeyModifier::Shift, state & XCB_MOD_MASK_SHIFT);
    modifiers.setFlag(KeyModifier::Ctrl, state & XCB_MOD_MASK_CONTROL);
    modifiers.setFlag(KeyModifier::Alt, state & masks.alt);
    modifiers.setFlag(KeyModifier::Super, state & masks.super);
    return modifiers;
}

uint16_t modifierState(KeyModifiers modifiers, const ModifierMasks& masks) {
    uint16_t state = 0;
    if (modifiers & KeyModifier::Shift) {
        state |= XCB_MOD_MASK_SHIFT;
    }
    if (modifiers & KeyModifier::Ctrl) {
        state |= XCB_MOD_MASK_CONTROL;
    }
    if (modifiers & KeyModifier::Alt) {
        state |= masks.alt;
    }
    if (modifiers & KeyModifier::Super) {
        state |= masks.super;
    }
    return state;
}

KeyLevels keyLevels(xcb_key_symbols_t* symbols, xcb_keycode_t key) {
    return KeyLevels{xcb_key_symbols_get_keysym(symbols, key, 0),
                     xcb_key_symbols_get_keysym(symbols, key, 1)};
}

Keysym keyMeaning(const KeyLevels& levels, xcb_keycode_t keycode) {
    if (isKeypadNumber(levels.shifted)) {
        return levels.shifted;  // KP_Home / KP_7: the key is Num 7
    }
    if (levels.base == 0 || hasLatinMeaning(levels.base)) {
        return unshifted(levels.base);
    }
    for (const auto& [evdev, key] : kUsTypingBlock) {
        if (keycode == evdev + kEvdevOffset) {
            return key;
        }
    }
    return unshifted(levels.base);
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
    } else if (keysym >= keysym::unicodeBase + 0x100 && keysym <= keysym::unicodeBase + 0x10ffff) {
        character = keysym - keysym::unicodeBase;
    } else if (keysym == kKeypadSpace) {
        character = U' ';
    } else if ((keysym >= kKeypadFirstSymbol && keysym <= keysym::kp9) ||
               keysym == keysym::kpEqual) {
        character = keysym - 0xff80;  // KP_Multiply is '*', ... KP_9 is '9', KP_Equal is '='
    }
    if (character == 0 || !QChar::isPrint(character)) {
        return {};
    }
    return QString::fromUcs4(&character, 1);
}

TypedKey typedKey(const KeyLevels& levels, xcb_keycode_t keycode, uint16_t state,
                  const ModifierMasks& masks) {
    TypedKey typed;
    typed.stroke.key = keyMeaning(levels, keycode);
    typed.stroke.modifiers = keyModifiers(state, masks);
    if (!(typed.stroke.modifiers & (KeyModifier::Ctrl | KeyModifier::Super))) {
        typed.text = keysymText(levelKeysym(levels, state, masks.numLock));
    }
    return typed;
}

}  // namespace tessora::x11
