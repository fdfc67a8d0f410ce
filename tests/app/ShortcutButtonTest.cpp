#include "app/ShortcutButton.h"

#include "app/ShortcutService.h"
#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/VirtualClock.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

namespace tessora {
namespace {

const KeyStroke kCtrlEscape{keysym::escape, KeyModifier::Ctrl};
const KeyStroke kSuperAltK{'k', KeyModifier::Super | KeyModifier::Alt};

// The button in a window of its own, beside a text field that has the keyboard.
class ShortcutButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        service.setOnOpen([this] { ++opened; });
        auto* column = new QVBoxLayout(&window);
        button = new ShortcutButton(service, sim);
        field = new QLineEdit;
        column->addWidget(button);
        column->addWidget(field);
        window.show();
        field->setFocus();
    }

    VirtualClock clock;
    SimWindowSystem sim{clock};
    std::unique_ptr<DefaultsStore> defaults = DefaultsStore::inMemory();
    ShortcutService service{sim, *defaults};
    QWidget window;
    ShortcutButton* button = nullptr;
    QLineEdit* field = nullptr;
    int opened = 0;
};

TEST_F(ShortcutButtonTest, ShowsTheShortcutAsCapsAndSaysSo) {
    EXPECT_EQ(button->shownKeys(), QStringList({"Ctrl", "esc"}));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Button);
    EXPECT_EQ(accessible->text(QAccessible::Name),
              "Open Tessora shortcut: Ctrl+esc. Click to change.");
    EXPECT_EQ(button->toolTip(), "Click to change shortcut");

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(button->recording());
    EXPECT_EQ(accessible->text(QAccessible::Description), "Press shortcut…");
}

TEST_F(ShortcutButtonTest, RecordsACombinationThatThenOpensInsteadOfTheOldOne) {
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(button->recording());
    // Keys pressed meanwhile are the recorder's, not the focused field's.
    QTest::keyClick(field, Qt::Key_K);
    EXPECT_EQ(service.error(), "Include Super, Alt or Ctrl.");
    QTest::keyClick(field, Qt::Key_Alt, Qt::AltModifier);  // a modifier alone waits
    EXPECT_TRUE(button->recording());
    QTest::keyClick(field, Qt::Key_K, Qt::MetaModifier | Qt::AltModifier);

    EXPECT_FALSE(button->recording());
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_TRUE(service.error().isEmpty());
    EXPECT_EQ(service.label(), "⌃⌥K");
    EXPECT_EQ(button->shownKeys(), QStringList({"Super", "Alt", "K"}));
    EXPECT_TRUE(sim.pressHotKey(kSuperAltK));
    EXPECT_FALSE(sim.pressHotKey(kCtrlEscape));
    EXPECT_EQ(opened, 1);

    // Recording over, keys reach the window again.
    QTest::keyClick(field, Qt::Key_K);
    EXPECT_EQ(field->text(), "k");
}

TEST_F(ShortcutButtonTest, EscapeCancelsAndTheCurrentCombinationCanBeRecordedAgain) {
    button->startRecording();
    // The hot key is let go while recording, so its press reaches the window...
    EXPECT_FALSE(sim.pressHotKey(kCtrlEscape));
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_FALSE(button->recording());
    EXPECT_EQ(button->shownKeys(), QStringList({"Ctrl", "esc"}));
    EXPECT_TRUE(sim.pressHotKey(kCtrlEscape));  // ...and taken back after

    // ...where it records itself again.
    button->startRecording();
    QTest::keyClick(window.windowHandle(), Qt::Key_Escape, Qt::ControlModifier);
    EXPECT_FALSE(button->recording());
    EXPECT_EQ(service.label(), "⌘esc");
    EXPECT_TRUE(sim.pressHotKey(kCtrlEscape));
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(sim.liveHotKeys(), 1);
}

TEST_F(ShortcutButtonTest, ATakenCombinationIsRefusedAndRecordingGoesOn) {
    const KeyStroke superAltSpace{keysym::space, KeyModifier::Super | KeyModifier::Alt};
    sim.setHotKeyTaken(superAltSpace, true);
    button->startRecording();
    QTest::keyClick(field, Qt::Key_Space, Qt::MetaModifier | Qt::AltModifier);
    EXPECT_TRUE(button->recording());
    EXPECT_EQ(service.error(),
              "This shortcut is unavailable. Try another combination. Your previous shortcut "
              "remains active.");
    EXPECT_EQ(service.label(), "⌘esc");

    // Ending the recording brings the previous shortcut back, as the text said.
    window.hide();
    EXPECT_FALSE(button->recording());
    EXPECT_TRUE(sim.pressHotKey(kCtrlEscape));
    window.show();
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A);
    EXPECT_EQ(field->text(), "a");
}

TEST_F(ShortcutButtonTest, FollowsTheShortcutChangedElsewhere) {
    service.registerCombination({'k', KeyModifier::Shift | KeyModifier::Ctrl});
    EXPECT_EQ(button->shownKeys(), QStringList({"Shift", "Ctrl", "K"}));
    // A keypad key is named as a key, or as the digit it types once a recording wrote that.
    service.registerCombination({keysym::kp0 + 5, KeyModifier::Ctrl});
    EXPECT_EQ(button->shownKeys(), QStringList({"Ctrl", "Num 5"}));
    service.setLabel("⌘5");
    EXPECT_EQ(button->shownKeys(), QStringList({"Ctrl", "5"}));
    EXPECT_EQ(button->accessibleName(), "Open Tessora shortcut: Ctrl+5. Click to change.");
}

TEST_F(ShortcutButtonTest, AnotherWindowTakingTheKeyboardEndsRecording) {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    button->startRecording();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(button->recording());
    EXPECT_TRUE(sim.pressHotKey(kCtrlEscape));
}

TEST_F(ShortcutButtonTest, DestroyedWhileRecordingGivesTheHotKeyBack) {
    button->startRecording();
    delete button;
    EXPECT_TRUE(sim.pressHotKey(kCtrlEscape));
    QTest::keyClick(field, Qt::Key_A);
    EXPECT_EQ(field->text(), "a");
}

}  // namespace
}  // namespace tessora
