#include "platform/MacKeyCodes.h"

#include <array>

namespace tessora::mackeys {

namespace {

// X keysyms (X11/keysymdef.h), spelled out so that this table needs no X headers.
namespace keysym {
constexpr quint32 space = 0x0020, apostrophe = 0x0027, comma = 0x002c, minus = 0x002d,
                  period = 0x002e, slash = 0x002f, semicolon = 0x003b, equal = 0x003d,
                  bracketLeft = 0x005b, backslash = 0x005c, bracketRight = 0x005d, grave = 0x0060;
constexpr quint32 backSpace = 0xff08, tab = 0xff09, returnKey = 0xff0d, escape = 0xff1b,
                  deleteKey = 0xffff, insert = 0xff63;
constexpr quint32 home = 0xff50, left = 0xff51, up = 0xff52, right = 0xff53, down = 0xff54,
                  pageUp = 0xff55, pageDown = 0xff56, end = 0xff57;
constexpr quint32 kpEnter = 0xff8d, kpMultiply = 0xffaa, kpAdd = 0xffab, kpSubtract = 0xffad,
                  kpDecimal = 0xffae, kpDivide = 0xffaf, kp0 = 0xffb0, kpEqual = 0xffbd;
constexpr quint32 f1 = 0xffbe;  // F1 to F35 are consecutive
constexpr quint32 shiftL = 0xffe1, shiftR = 0xffe2, controlL = 0xffe3, controlR = 0xffe4,
                  capsLock = 0xffe5, altL = 0xffe9, altR = 0xffea, superL = 0xffeb, superR = 0xffec;
constexpr quint32 isoLeftTab = 0xfe20;
}  // namespace keysym

struct Key {
    quint32 code;
    quint32 keysym;
    const char* name;  // UTF-8; null for none
};

constexpr quint32 kFunction = 63;  // Fn: no keysym of its own on a PC keyboard

// clang-format off
constexpr std::array kKeys = {
    // Letters (keysyms of the lower-case letters).
    Key{0, 'a', "A"}, Key{1, 's', "S"}, Key{2, 'd', "D"}, Key{3, 'f', "F"}, Key{4, 'h', "H"},
    Key{5, 'g', "G"}, Key{6, 'z', "Z"}, Key{7, 'x', "X"}, Key{8, 'c', "C"}, Key{9, 'v', "V"},
    Key{11, 'b', "B"}, Key{12, 'q', "Q"}, Key{13, 'w', "W"}, Key{14, 'e', "E"},
    Key{15, 'r', "R"}, Key{16, 'y', "Y"}, Key{17, 't', "T"}, Key{31, 'o', "O"},
    Key{32, 'u', "U"}, Key{34, 'i', "I"}, Key{35, 'p', "P"}, Key{37, 'l', "L"},
    Key{38, 'j', "J"}, Key{40, 'k', "K"}, Key{45, 'n', "N"}, Key{46, 'm', "M"},
    // Digits of the main row.
    Key{18, '1', "1"}, Key{19, '2', "2"}, Key{20, '3', "3"}, Key{21, '4', "4"},
    Key{23, '5', "5"}, Key{22, '6', "6"}, Key{26, '7', "7"}, Key{28, '8', "8"},
    Key{25, '9', "9"}, Key{29, '0', "0"},
    // Punctuation of the ANSI layout.
    Key{27, keysym::minus, "-"}, Key{24, keysym::equal, "="},
    Key{33, keysym::bracketLeft, "["}, Key{30, keysym::bracketRight, "]"},
    Key{41, keysym::semicolon, ";"}, Key{39, keysym::apostrophe, "'"},
    Key{43, keysym::comma, ","}, Key{47, keysym::period, "."}, Key{44, keysym::slash, "/"},
    Key{42, keysym::backslash, "\\"}, Key{50, keysym::grave, "`"},
    // Editing and navigation. The Mac "delete" key (51) is Backspace; 117 is Delete; the Help
    // key sits where PC keyboards have Insert.
    Key{53, keysym::escape, "esc"}, Key{36, keysym::returnKey, "Return"},
    Key{48, keysym::tab, "Tab"}, Key{49, keysym::space, "Space"},
    Key{51, keysym::backSpace, "Backspace"}, Key{117, keysym::deleteKey, "Delete"},
    Key{114, keysym::insert, "Insert"},
    Key{123, keysym::left, "\u2190"}, Key{124, keysym::right, "\u2192"},
    Key{125, keysym::down, "\u2193"}, Key{126, keysym::up, "\u2191"},
    Key{115, keysym::home, "Home"}, Key{119, keysym::end, "End"},
    Key{116, keysym::pageUp, "PgUp"}, Key{121, keysym::pageDown, "PgDown"},
    // Function keys.
    Key{122, keysym::f1 + 0, "F1"}, Key{120, keysym::f1 + 1, "F2"},
    Key{99, keysym::f1 + 2, "F3"}, Key{118, keysym::f1 + 3, "F4"},
    Key{96, keysym::f1 + 4, "F5"}, Key{97, keysym::f1 + 5, "F6"},
    Key{98, keysym::f1 + 6, "F7"}, Key{100, keysym::f1 + 7, "F8"},
    Key{101, keysym::f1 + 8, "F9"}, Key{109, keysym::f1 + 9, "F10"},
    Key{103, keysym::f1 + 10, "F11"}, Key{111, keysym::f1 + 11, "F12"},
    Key{105, keysym::f1 + 12, "F13"}, Key{107, keysym::f1 + 13, "F14"},
    Key{113, keysym::f1 + 14, "F15"}, Key{106, keysym::f1 + 15, "F16"},
    Key{64, keysym::f1 + 16, "F17"}, Key{79, keysym::f1 + 17, "F18"},
    Key{80, keysym::f1 + 18, "F19"}, Key{90, keysym::f1 + 19, "F20"},
    // Keypad (the digits as NumLock on gives them).
    Key{82, keysym::kp0 + 0, "Num 0"}, Key{83, keysym::kp0 + 1, "Num 1"},
    Key{84, keysym::kp0 + 2, "Num 2"}, Key{85, keysym::kp0 + 3, "Num 3"},
    Key{86, keysym::kp0 + 4, "Num 4"}, Key{87, keysym::kp0 + 5, "Num 5"},
    Key{88, keysym::kp0 + 6, "Num 6"}, Key{89, keysym::kp0 + 7, "Num 7"},
    Key{91, keysym::kp0 + 8, "Num 8"}, Key{92, keysym::kp0 + 9, "Num 9"},
    Key{65, keysym::kpDecimal, "Num ."}, Key{67, keysym::kpMultiply, "Num *"},
    Key{69, keysym::kpAdd, "Num +"}, Key{78, keysym::kpSubtract, "Num -"},
    Key{75, keysym::kpDivide, "Num /"}, Key{81, keysym::kpEqual, "Num ="},
    Key{76, keysym::kpEnter, "Enter"},
    // Modifier keys: Command is Ctrl, Control is Super, Option is Alt.
    Key{55, keysym::controlL, "Ctrl"}, Key{54, keysym::controlR, "Ctrl"},
    Key{59, keysym::superL, "Super"}, Key{62, keysym::superR, "Super"},
    Key{58, keysym::altL, "Alt"}, Key{61, keysym::altR, "Alt"},
    Key{56, keysym::shiftL, "Shift"}, Key{60, keysym::shiftR, "Shift"},
    Key{57, keysym::capsLock, "Caps Lock"},
};
// clang-format on

const Key* byCode(quint32 code) {
    for (const Key& key : kKeys) {
        if (key.code == code) {
            return &key;
        }
    }
    return nullptr;
}

}  // namespace

std::optional<quint32> keysymForKeyCode(quint32 keyCode) {
    const Key* key = byCode(keyCode);
    return key ? std::optional(key->keysym) : std::nullopt;
}

std::optional<quint32> keyCodeForKeysym(quint32 symbol) {
    if (symbol >= 'A' && symbol <= 'Z') {
        symbol += 'a' - 'A';
    } else if (symbol == keysym::isoLeftTab) {
        symbol = keysym::tab;
    }
    for (const Key& key : kKeys) {
        if (key.keysym == symbol) {
            return key.code;
        }
    }
    return std::nullopt;
}

bool isModifierKey(quint32 keyCode) {
    return keyCode >= 54 && keyCode <= kFunction;
}

QString keyName(quint32 keyCode) {
    if (keyCode == kFunction) {
        return QStringLiteral("Fn");
    }
    const Key* key = byCode(keyCode);
    return key ? QString::fromUtf8(key->name) : QString();
}

}  // namespace tessora::mackeys
