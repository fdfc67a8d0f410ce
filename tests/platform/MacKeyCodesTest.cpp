#include "platform/MacKeyCodes.h"

#include <gtest/gtest.h>
#include <set>

namespace tessora {
namespace {

using namespace mackeys;

TEST(MacKeyCodesTest, EveryKnownKeyMapsToOneKeysymAndBack) {
    std::set<quint32> keysyms;
    int known = 0;
    for (quint32 code = 0; code < 128; ++code) {
        const std::optional<quint32> keysym = keysymForKeyCode(code);
        if (!keysym) {
            continue;
        }
        ++known;
        EXPECT_TRUE(keysyms.insert(*keysym).second) << "keysym of " << code << " used twice";
        EXPECT_EQ(keyCodeForKeysym(*keysym), code) << code;
        EXPECT_FALSE(keyName(code).isEmpty()) << code;
    }
    // 26 letters, 10 digits, 11 punctuation, 15 editing, 20 function, 17 keypad, 9 modifiers.
    EXPECT_EQ(known, 108);
    EXPECT_FALSE(keysymForKeyCode(128));
}

TEST(MacKeyCodesTest, PositionsOfTheAnsiLayout) {
    const std::pair<quint32, quint32> pairs[] = {
        {0, 'a'},      {11, 'b'},     {6, 'z'},      {18, '1'},     {29, '0'},     {22, '6'},
        {23, '5'},     {27, '-'},     {24, '='},     {33, '['},     {30, ']'},     {41, ';'},
        {39, '\''},    {42, '\\'},    {50, '`'},     {53, 0xff1b},  {36, 0xff0d},  {48, 0xff09},
        {49, ' '},     {51, 0xff08},  {117, 0xffff}, {123, 0xff51}, {124, 0xff53}, {125, 0xff54},
        {126, 0xff52}, {115, 0xff50}, {119, 0xff57}, {116, 0xff55}, {121, 0xff56}, {122, 0xffbe},
        {120, 0xffbf}, {111, 0xffc9}, {76, 0xff8d},  {82, 0xffb0},  {55, 0xffe3},  {59, 0xffeb},
        {58, 0xffe9},  {56, 0xffe1},
    };
    for (const auto& [code, keysym] : pairs) {
        EXPECT_EQ(keysymForKeyCode(code), keysym) << code;
    }
    // What a key gives with Shift held still names the key.
    EXPECT_EQ(keyCodeForKeysym('K'), 40u);
    EXPECT_EQ(keyCodeForKeysym(0xfe20), 48u);  // ISO_Left_Tab
    EXPECT_FALSE(keyCodeForKeysym('!'));
}

TEST(MacKeyCodesTest, ModifierKeysAndNames) {
    for (const quint32 code : {54u, 55u, 56u, 57u, 58u, 59u, 60u, 61u, 62u, 63u}) {
        EXPECT_TRUE(isModifierKey(code)) << code;
    }
    for (const quint32 code : {53u, 49u, 40u, 64u, 123u}) {
        EXPECT_FALSE(isModifierKey(code)) << code;
    }
    EXPECT_EQ(keyName(53), "esc");
    EXPECT_EQ(keyName(49), "Space");
    EXPECT_EQ(keyName(40), "K");
    EXPECT_EQ(keyName(51), "Backspace");
    EXPECT_EQ(keyName(96), "F5");
    EXPECT_EQ(keyName(123), QString::fromUtf8("\u2190"));
    EXPECT_TRUE(keyName(10).isEmpty());
}

}  // namespace
}  // namespace tessora
