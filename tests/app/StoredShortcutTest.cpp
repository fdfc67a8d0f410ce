#include "app/StoredShortcut.h"

#include <gtest/gtest.h>
#include <set>

namespace tessora {
namespace {

// Every key code that earlier editions could store still names the same key, and a stroke
// is stored back as the same code.
TEST(StoredShortcut, EveryStoredKeyCodeReadsTheSameAndRoundTrips) {
    std::set<Keysym> keys;
    int known = 0;
    for (quint32 code = 0; code < 256; ++code) {
        const std::optional<KeyStroke> stroke = decodeShortcut({code, 256});
        if (!stroke) {
            continue;
        }
        ++known;
        EXPECT_TRUE(keys.insert(stroke->key).second) << "key of " << code << " used twice";
        EXPECT_EQ(encodeShortcut(*stroke), (StoredShortcut{code, 256})) << code;
        EXPECT_FALSE(keyName(stroke->key).isEmpty()) << code;
    }
    // 26 letters, 10 digits, 11 punctuation, 15 editing, 20 function, 17 keypad, 9 modifiers.
    EXPECT_EQ(known, 108);

    const std::pair<quint32, Keysym> places[] = {
        {0, 'a'},
        {11, 'b'},
        {6, 'z'},
        {18, '1'},
        {29, '0'},
        {22, '6'},
        {23, '5'},
        {27, '-'},
        {24, '='},
        {33, '['},
        {30, ']'},
        {41, ';'},
        {39, '\''},
        {42, '\\'},
        {50, '`'},
        {53, keysym::escape},
        {36, keysym::returnKey},
        {48, keysym::tab},
        {49, keysym::space},
        {51, keysym::backSpace},
        {117, keysym::deleteKey},
        {123, keysym::left},
        {124, keysym::right},
        {125, keysym::down},
        {126, keysym::up},
        {115, keysym::home},
        {119, keysym::end},
        {116, keysym::pageUp},
        {121, keysym::pageDown},
        {122, keysym::f1},
        {120, keysym::f1 + 1},
        {111, keysym::f1 + 11},
        {76, keysym::kpEnter},
        {82, keysym::kp0},
        {55, keysym::controlL},
        {59, keysym::superL},
        {58, keysym::altL},
        {56, keysym::shiftL},
    };
    for (const auto& [code, key] : places) {
        EXPECT_EQ(decodeShortcut({code, 0})->key, key) << code;
    }
    EXPECT_FALSE(decodeShortcut({10, 256})) << "the ISO key has no keysym of its own";
    EXPECT_FALSE(decodeShortcut({63, 256})) << "nor has Fn";
    EXPECT_FALSE(encodeShortcut({0x1008ff12, KeyModifier::Ctrl})) << "a media key";
    // What Shift makes of a key still names the key.
    EXPECT_EQ(encodeShortcut({'K', KeyModifier::Ctrl}), (StoredShortcut{40, 256}));
    EXPECT_EQ(encodeShortcut({keysym::isoLeftTab, KeyModifier::Ctrl}), (StoredShortcut{48, 256}));
}

TEST(StoredShortcut, MasksAreCtrlShiftAltAndSuper) {
    const std::pair<quint32, KeyModifiers> masks[] = {
        {256, KeyModifier::Ctrl},
        {512, KeyModifier::Shift},
        {2048, KeyModifier::Alt},
        {4096, KeyModifier::Super},
        {768, KeyModifier::Shift | KeyModifier::Ctrl},
        {6144, KeyModifier::Alt | KeyModifier::Super},
        {6912, KeyModifier::Ctrl | KeyModifier::Shift | KeyModifier::Alt | KeyModifier::Super},
        {0, KeyModifiers()},
    };
    for (const auto& [mask, modifiers] : masks) {
        EXPECT_EQ(decodeShortcut({53, mask})->modifiers, modifiers) << mask;
        EXPECT_EQ(encodeShortcut({keysym::escape, modifiers})->modifiers, mask) << mask;
    }
    // Bits of other flags (Caps Lock 1024, the right-hand keys) are not modifiers here.
    EXPECT_EQ(decodeShortcut({53, 256 | 1024 | 8192})->modifiers, KeyModifier::Ctrl);
    // Bits above the flags' 16 are no flags at all: the mask is corrupt.
    EXPECT_FALSE(decodeShortcut({53, 0xFFFFFFFF}));
    EXPECT_FALSE(decodeShortcut({53, 0x10100}));
    EXPECT_EQ(decodeShortcut(defaultStoredShortcut),
              (KeyStroke{keysym::escape, KeyModifier::Ctrl}));
}

}  // namespace
}  // namespace tessora
