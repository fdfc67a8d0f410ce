#include "app/StoredShortcut.h"

#include <array>

namespace tessora {

namespace {

constexpr quint32 kCmdKey = 256, kShiftKey = 512, kOptionKey = 2048, kControlKey = 4096;
// Every flag a stored mask may carry lies in the low 16 bits.
constexpr quint32 kModifierFlags = 0xFFFF;

struct CodedKey {
    quint32 code;
    Keysym key;
};

// The virtual key codes and the keysym of the key at each place of the ANSI layout.
// clang-format off
constexpr std::array kCodedKeys = {
    // Letters.
    CodedKey{0, 'a'}, CodedKey{1, 's'}, CodedKey{2, 'd'}, CodedKey{3, 'f'}, CodedKey{4, 'h'},
    CodedKey{5, 'g'}, CodedKey{6, 'z'}, CodedKey{7, 'x'}, CodedKey{8, 'c'}, CodedKey{9, 'v'},
    CodedKey{11, 'b'}, CodedKey{12, 'q'}, CodedKey{13, 'w'}, CodedKey{14, 'e'},
    CodedKey{15, 'r'}, CodedKey{16, 'y'}, CodedKey{17, 't'}, CodedKey{31, 'o'},
    CodedKey{32, 'u'}, CodedKey{34, 'i'}, CodedKey{35, 'p'}, CodedKey{37, 'l'},
    CodedKey{38, 'j'}, CodedKey{40, 'k'}, CodedKey{45, 'n'}, CodedKey{46, 'm'},
    // Digits of the main row.
    CodedKey{18, '1'}, CodedKey{19, '2'}, CodedKey{20, '3'}, CodedKey{21, '4'},
    CodedKey{23, '5'}, CodedKey{22, '6'}, CodedKey{26, '7'}, CodedKey{28, '8'},
    CodedKey{25, '9'}, CodedKey{29, '0'},
    // Punctuation.
    CodedKey{27, '-'}, CodedKey{24, '='}, CodedKey{33, '['}, CodedKey{30, ']'},
    CodedKey{41, ';'}, CodedKey{39, '\''}, CodedKey{43, ','}, CodedKey{47, '.'},
    CodedKey{44, '/'}, CodedKey{42, '\\'}, CodedKey{50, '`'},
    // Editing and navigation: 51 is Backspace, 117 Delete; the Help key sits where PC keyboards
    // have Insert.
    CodedKey{53, keysym::escape}, CodedKey{36, keysym::returnKey}, CodedKey{48, keysym::tab},
    CodedKey{49, keysym::space}, CodedKey{51, keysym::backSpace}, CodedKey{117, keysym::deleteKey},
    CodedKey{114, keysym::insert}, CodedKey{123, keysym::left}, CodedKey{124, keysym::right},
    CodedKey{125, keysym::down}, CodedKey{126, keysym::up}, CodedKey{115, keysym::home},
    CodedKey{119, keysym::end}, CodedKey{116, keysym::pageUp}, CodedKey{121, keysym::pageDown},
    // Function keys.
    CodedKey{122, keysym::f1 + 0}, CodedKey{120, keysym::f1 + 1}, CodedKey{99, keysym::f1 + 2},
    CodedKey{118, keysym::f1 + 3}, CodedKey{96, keysym::f1 + 4}, CodedKey{97, keysym::f1 + 5},
    CodedKey{98, keysym::f1 + 6}, CodedKey{100, keysym::f1 + 7}, CodedKey{101, keysym::f1 + 8},
    CodedKey{109, keysym::f1 + 9}, CodedKey{103, keysym::f1 + 10},
    CodedKey{111, keysym::f1 + 11}, CodedKey{105, keysym::f1 + 12},
    CodedKey{107, keysym::f1 + 13}, CodedKey{113, keysym::f1 + 14},
    CodedKey{106, keysym::f1 + 15}, CodedKey{64, keysym::f1 + 16}, CodedKey{79, keysym::f1 + 17},
    CodedKey{80, keysym::f1 + 18}, CodedKey{90, keysym::f1 + 19},
    // Keypad.
    CodedKey{82, keysym::kp0 + 0}, CodedKey{83, keysym::kp0 + 1}, CodedKey{84, keysym::kp0 + 2},
    CodedKey{85, keysym::kp0 + 3}, CodedKey{86, keysym::kp0 + 4}, CodedKey{87, keysym::kp0 + 5},
    CodedKey{88, keysym::kp0 + 6}, CodedKey{89, keysym::kp0 + 7}, CodedKey{91, keysym::kp0 + 8},
    CodedKey{92, keysym::kp0 + 9}, CodedKey{65, keysym::kpDecimal},
    CodedKey{67, keysym::kpMultiply}, CodedKey{69, keysym::kpAdd},
    CodedKey{78, keysym::kpSubtract}, CodedKey{75, keysym::kpDivide},
    CodedKey{81, keysym::kpEqual}, CodedKey{76, keysym::kpEnter},
    // Modifier keys (Command is Ctrl, Control is Super, Option is Alt); 63, Fn, has no keysym.
    CodedKey{55, keysym::controlL}, CodedKey{54, keysym::controlR},
    CodedKey{59, keysym::superL}, CodedKey{62, keysym::superR},
    CodedKey{58, keysym::altL}, CodedKey{61, keysym::altR},
    CodedKey{56, keysym::shiftL}, CodedKey{60, keysym::shiftR},
    CodedKey{57, keysym::capsLock},
};
// clang-format on

constexpr std::array<std::pair<quint32, KeyModifier>, 4> kMaskBits = {{
    {kCmdKey, KeyModifier::Ctrl},
    {kShiftKey, KeyModifier::Shift},
    {kOptionKey, KeyModifier::Alt},
    {kControlKey, KeyModifier::Super},
}};

}  // namespace

std::optional<KeyStroke> decodeShortcut(const StoredShortcut& stored) {
    if (stored.modifiers > kModifierFlags) {
        return std::nullopt;
    }
    for (const CodedKey& coded : kCodedKeys) {
        if (coded.code == stored.keyCode) {
            KeyStroke stroke{coded.key, {}};
            for (const auto& [bit, modifier] : kMaskBits) {
                stroke.modifiers.setFlag(modifier, (stored.modifiers & bit) != 0);
            }
            return stroke;
        }
    }
    return std::nullopt;
}

std::optional<StoredShortcut> encodeShortcut(const KeyStroke& stroke) {
    const Keysym key = stroke.key == keysym::kpEnter ? stroke.key : unshifted(stroke.key);
    for (const CodedKey& coded : kCodedKeys) {
        if (coded.key == key) {
            StoredShortcut stored{coded.code, 0};
            for (const auto& [bit, modifier] : kMaskBits) {
                if (stroke.modifiers.testFlag(modifier)) {
                    stored.modifiers |= bit;
                }
            }
            return stored;
        }
    }
    return std::nullopt;
}

}  // namespace tessora
