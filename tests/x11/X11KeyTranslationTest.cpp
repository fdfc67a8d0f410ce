#include "platform/x11/X11KeyTranslation.h"

#include <gtest/gtest.h>
#include <cstring>

namespace tessora::x11 {
namespace {

constexpr uint16_t kNumLock = XCB_MOD_MASK_2;
constexpr uint16_t kShift = XCB_MOD_MASK_SHIFT;
constexpr uint16_t kCaps = XCB_MOD_MASK_LOCK;
constexpr xcb_keysym_t kKeypadHome = 0xff95, kKeypad7 = 0xffb7, kKeypadEnter = 0xff8d;

TEST(X11KeyTranslation, LevelsFollowShiftCapsLockAndNumLock) {
    const KeyLevels letter{'e', 'E'};
    const KeyLevels digit{'1', '!'};
    const KeyLevels accented{0xe9, 0xc9};  // é É
    const KeyLevels keypad{kKeypadHome, kKeypad7};
    struct Case {
        KeyLevels levels;
        uint16_t state;
        xcb_keysym_t expected;
    };
    const std::vector<Case> cases = {
        {letter, 0, 'e'},
        {letter, kShift, 'E'},
        {letter, kCaps, 'E'},
        {letter, kCaps | kShift, 'e'},  // Shift undoes Caps Lock on letters
        {accented, kCaps, 0xc9},
        {digit, kCaps, '1'},  // Caps Lock leaves other keys alone
        {digit, kShift | kCaps, '!'},
        {keypad, 0, kKeypadHome},
        {keypad, kNumLock, kKeypad7},
        {keypad, kNumLock | kShift, kKeypadHome},
        {KeyLevels{kKeypadEnter, 0}, kShift, kKeypadEnter},  // no second level
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(levelKeysym(cases[i].levels, cases[i].state, kNumLock), cases[i].expected)
            << "case " << i;
    }
}

TEST(X11KeyTranslation, TextOfLatinUnicodeAndKeypadKeysymsOnly) {
    EXPECT_EQ(keysymText('q'), QStringLiteral("q"));
    EXPECT_EQ(keysymText(' '), QStringLiteral(" "));
    EXPECT_EQ(keysymText(0xe9), QStringLiteral("é"));
    EXPECT_EQ(keysymText(0x010020ac), QStringLiteral("€"));      // Unicode keysym
    EXPECT_EQ(keysymText(0x0101f600), QString::fromUcs4(U"😀"));  // beyond 16 bits
    EXPECT_EQ(keysymText(kKeypad7), QStringLiteral("7"));
    EXPECT_EQ(keysymText(0xffab), QStringLiteral("+"));
    for (const xcb_keysym_t silent : {0xff0du, 0xff08u, 0xff1bu, 0xff51u, 0xffbeu, kKeypadEnter,
                                      0x7fu, 0x0100007fu, 0x06c1u /* legacy Cyrillic */}) {
        EXPECT_TRUE(keysymText(silent).isEmpty()) << std::hex << silent;
    }
}

TEST(X11KeyTranslation, KeysAreTheirUnshiftedMeaningOrTheirPlaceOnTheTypingBlock) {
    constexpr xcb_keycode_t kCKey = 54, kOneKey = 10, kKeypad7Key = 79, kMuteKey = 121;
    EXPECT_EQ(keyMeaning({'c', 'C'}, kCKey), Keysym('c'));
    EXPECT_EQ(keyMeaning({'C', 0}, kCKey), Keysym('c')) << "a map that lists the upper case only";
    EXPECT_EQ(keyMeaning({'1', '!'}, kOneKey), Keysym('1'));
    EXPECT_EQ(keyMeaning({keysym::tab, keysym::isoLeftTab}, 23), keysym::tab);
    EXPECT_EQ(keyMeaning({kKeypadEnter, 0}, 104), keysym::returnKey);
    EXPECT_EQ(keyMeaning({0xe9, 0xc9}, 19), Keysym(0xe9)) << "é on a French layout's 2 key";
    // Keypad keys are known by their digit whether NumLock is on or not.
    EXPECT_EQ(keyMeaning({kKeypadHome, kKeypad7}, kKeypad7Key), kKeypad7);
    // A letter of another script is the key of the US layout at its place: Ctrl+С is Ctrl+C.
    EXPECT_EQ(keyMeaning({0x01000441, 0x01000421}, kCKey), Keysym('c'));
    EXPECT_EQ(keyMeaning({0x06c3, 0x06e3}, kCKey), Keysym('c')) << "legacy Cyrillic keysyms";
    // Keys off the typing block keep the name X gives them.
    EXPECT_EQ(keyMeaning({0x1008ff12, 0}, kMuteKey), Keysym(0x1008ff12));
}

TEST(X11KeyTranslation, TypedKeysCarryTheirStrokeAndNoTextWithShortcutModifiers) {
    ModifierMasks masks;
    masks.numLock = kNumLock;
    const TypedKey k = typedKey({'k', 'K'}, 45, kShift, masks);
    EXPECT_EQ(k.stroke, (KeyStroke{'k', KeyModifier::Shift}));
    EXPECT_EQ(k.text, QStringLiteral("K"));
    EXPECT_EQ(typedKey({kKeypadHome, kKeypad7}, 79, kNumLock, masks).text, QStringLiteral("7"));

    EXPECT_TRUE(typedKey({'k', 'K'}, 45, XCB_MOD_MASK_CONTROL, masks).text.isEmpty());
    EXPECT_TRUE(typedKey({'k', 'K'}, 45, masks.super, masks).text.isEmpty());
    const TypedKey altK = typedKey({'k', 'K'}, 45, masks.alt, masks);
    EXPECT_EQ(altK.text, QStringLiteral("k"));
    EXPECT_EQ(altK.stroke.modifiers, KeyModifier::Alt);

    // A key of another script types its own letter.
    const TypedKey cyrillic = typedKey({0x01000444, 0x01000424}, 38, 0, masks);
    EXPECT_EQ(cyrillic.stroke.key, Keysym('a'));
    EXPECT_EQ(cyrillic.text, QStringLiteral("ф"));
}

TEST(X11KeyTranslation, ModifierStatesBothWays) {
    ModifierMasks masks;
    masks.alt = XCB_MOD_MASK_1;
    masks.super = XCB_MOD_MASK_4;
    const uint16_t all =
        XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
    const KeyModifiers every =
        KeyModifier::Shift | KeyModifier::Ctrl | KeyModifier::Alt | KeyModifier::Super;
    EXPECT_EQ(keyModifiers(all | XCB_MOD_MASK_LOCK | kNumLock, masks), every) << "locks ignored";
    EXPECT_EQ(modifierState(every, masks), all);
    masks.super = XCB_MOD_MASK_3;  // a map that moves Super
    EXPECT_EQ(keyModifiers(XCB_MOD_MASK_3, masks), KeyModifier::Super);
    EXPECT_EQ(keyModifiers(XCB_MOD_MASK_4, masks), KeyModifiers());
}

}  // namespace
}  // namespace tessora::x11
