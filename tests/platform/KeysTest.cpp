#include "platform/Keys.h"

#include <gtest/gtest.h>

namespace tessora {
namespace {

// A key event of our own windows, read from Qt's key alone (no scan code: offscreen, or keys
// handed over from a hold), names the key and not the text it types.
TEST(Keys, QtKeysAreTheirUnshiftedMeaning) {
    const auto stroke = [](int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return keyStrokeFromQt(qtKey, modifiers);
    };
    EXPECT_EQ(stroke(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier),
              (KeyStroke{'c', KeyModifier::Ctrl | KeyModifier::Shift}));
    EXPECT_EQ(stroke(Qt::Key_A, Qt::MetaModifier | Qt::AltModifier),
              (KeyStroke{'a', KeyModifier::Super | KeyModifier::Alt}));
    EXPECT_EQ(stroke(Qt::Key_Exclam, Qt::ShiftModifier).key, Keysym('1'));
    EXPECT_EQ(stroke(Qt::Key_BraceLeft, Qt::ShiftModifier).key, Keysym('['));
    EXPECT_EQ(stroke(Qt::Key_Backtab, Qt::ShiftModifier).key, keysym::tab);
    EXPECT_EQ(stroke(Qt::Key_Enter, Qt::KeypadModifier).key, keysym::returnKey);
    EXPECT_EQ(stroke(Qt::Key_Enter).key, keysym::returnKey);
    EXPECT_EQ(stroke(Qt::Key_2, Qt::KeypadModifier).key, keysym::kp0 + 2)
        << "keypad digits are keys of their own";
    EXPECT_EQ(stroke(Qt::Key_Plus, Qt::KeypadModifier).key, keysym::kpAdd);
    EXPECT_EQ(stroke(Qt::Key_Plus).key, Keysym('=')) << "Shift+= on the main block";
    EXPECT_EQ(stroke(Qt::Key_Space).key, keysym::space);
    EXPECT_EQ(stroke(Qt::Key_Backspace).key, keysym::backSpace);
    EXPECT_EQ(stroke(Qt::Key_Down).key, keysym::down);
    EXPECT_EQ(stroke(Qt::Key_F5).key, keysym::f1 + 4);
    EXPECT_EQ(stroke(Qt::Key_Eacute).key, Keysym(0xe9));
    EXPECT_EQ(stroke(0x0421).key, keysym::unicodeBase + 0x0441) << "Cyrillic С, lower-cased";
    EXPECT_EQ(stroke(Qt::Key_MediaPlay).key, keysym::none);
    EXPECT_EQ(stroke(Qt::Key_Control, Qt::ControlModifier).key, keysym::controlL);
}

// Keys handed over from a hold become Qt key events again, and read back the same.
TEST(Keys, QtKeysAndModifiersRoundTrip) {
    const Keysym keys[] = {'a',
                           'z',
                           '1',
                           '-',
                           '`',
                           keysym::escape,
                           keysym::returnKey,
                           keysym::tab,
                           keysym::backSpace,
                           keysym::deleteKey,
                           keysym::left,
                           keysym::pageDown,
                           keysym::f1 + 11,
                           keysym::space,
                           0xe9,
                           keysym::kp0 + 7,
                           keysym::kpAdd};
    for (const Keysym key : keys) {
        const Qt::KeyboardModifiers keypad =
            key >= keysym::kpEnter && key <= keysym::kpEqual ? Qt::KeypadModifier : Qt::NoModifier;
        EXPECT_EQ(keyStrokeFromQt(qtKey(key), keypad).key, key) << std::hex << key;
    }
    EXPECT_EQ(qtKey(keysym::isoLeftTab), Qt::Key_Backtab);
    EXPECT_EQ(qtKey(0x1008ff12), Qt::Key_unknown);
    const KeyModifiers every =
        KeyModifier::Shift | KeyModifier::Ctrl | KeyModifier::Alt | KeyModifier::Super;
    EXPECT_EQ(keyModifiers(qtModifiers(every)), every);
    EXPECT_EQ(qtModifiers(KeyModifier::Super), Qt::MetaModifier) << "Super is Qt's Meta";
    EXPECT_EQ(keyModifiers(Qt::KeypadModifier | Qt::GroupSwitchModifier), KeyModifiers());
}

TEST(Keys, NamesAndModifierKeys) {
    EXPECT_EQ(keyName(keysym::escape), "esc");
    EXPECT_EQ(keyName(keysym::space), "Space");
    EXPECT_EQ(keyName('k'), "K");
    EXPECT_EQ(keyName(';'), ";");
    EXPECT_EQ(keyName(keysym::backSpace), "Backspace");
    EXPECT_EQ(keyName(keysym::f1 + 4), "F5");
    EXPECT_EQ(keyName(keysym::left), QString::fromUtf8("\u2190"));
    EXPECT_EQ(keyName(keysym::kp0 + 5), "Num 5");
    EXPECT_EQ(keyName(keysym::kpEnter), "Enter");
    EXPECT_TRUE(keyName(0x1008ff12).isEmpty());
    EXPECT_TRUE(keyName(keysym::none).isEmpty());

    for (const Keysym key : {keysym::shiftL, keysym::controlR, keysym::capsLock, keysym::altL,
                             keysym::superR, keysym::levelThreeShift, keysym::modeSwitch}) {
        EXPECT_TRUE(isModifierKey(key)) << std::hex << key;
    }
    for (const Keysym key :
         {keysym::escape, keysym::space, Keysym('k'), keysym::f1, keysym::numLock}) {
        EXPECT_FALSE(isModifierKey(key)) << std::hex << key;
    }
    EXPECT_EQ(unshifted('K'), Keysym('k'));
    EXPECT_EQ(unshifted(0xc9), Keysym(0xe9));
    EXPECT_EQ(unshifted(keysym::isoLeftTab), keysym::tab);
    EXPECT_EQ(unshifted(keysym::kpEnter), keysym::returnKey);
    EXPECT_EQ(unshifted('!'), Keysym('!')) << "which key gives ! depends on the layout";
}

}  // namespace
}  // namespace tessora
