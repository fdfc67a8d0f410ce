// The first-run window driven as a user would: keys through the window, the shortcut through
// the simulated desktop, seconds on the virtual clock.
#include "app/OnboardingPermissions.h"
#include "app/OnboardingPractice.h"
#include "app/PracticeCard.h"
#include "preferences/BrandMarks.h"
#include "preferences/OrreryButton.h"
#include "preferences/OrrerySwitch.h"
#include "tests/app/OnboardingFixture.h"
#include "workspace/SettingsKeys.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>

namespace tessora {
namespace {

using onboarding::Gesture;

QSet<QString> storedKeys(const DefaultsStore& store) {
    const QStringList keys = store.keys();
    return {keys.begin(), keys.end()};
}

class OnboardingViewTest : public OnboardingFixture {};

TEST_F(OnboardingViewTest, TheWholeFlowByKeyboard) {
    OnboardingView& onboarding = start();
    EXPECT_EQ(onboarding.title()->text(), "Meet Tessora");
    EXPECT_EQ(onboarding.logo()->width(), OnboardingView::kLargeLogo);
    EXPECT_TRUE(onboarding.continueButton()->isEnabled());
    EXPECT_TRUE(onboarding.continueButton()->hasFocus());
    press(Qt::Key_Return, Qt::ControlModifier);

    // Practice: Tab and Ctrl+Shift+C count, near misses pass on, and the shortcut is missing.
    ASSERT_EQ(model.onboardingStep(), 1);
    EXPECT_EQ(onboarding.title()->text(), "Try your keys");
    EXPECT_EQ(onboarding.logo()->width(), OnboardingView::kSmallLogo);
    press(Qt::Key_C, Qt::ControlModifier);
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(model.verifiedKeys().isEmpty());
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    press(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(model.verifiedKeys(), QSet<int>({Gesture::Select, Gesture::Clear}));
    EXPECT_EQ(onboarding.practice()->counter()->text(), "2/3 verified");
    EXPECT_FALSE(onboarding.continueButton()->isEnabled());
    press(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(model.onboardingStep(), 1);

    ASSERT_TRUE(sim.pressHotKey(kCtrlEscape));
    EXPECT_EQ(launcherOpened, 0);
    EXPECT_TRUE(onboarding.card(Gesture::Open)->verified());
    EXPECT_EQ(onboarding.practice()->counter()->text(), "3/3 verified");
    ASSERT_TRUE(onboarding.continueButton()->isEnabled());
    // The button has the keyboard again, so Return on it continues.
    EXPECT_TRUE(onboarding.continueButton()->hasFocus());
    press(Qt::Key_Return);

    // Window control: unavailable at first, noticed within a second once it is there.
    ASSERT_EQ(model.onboardingStep(), 2);
    EXPECT_EQ(onboarding.title()->text(), "Let Tessora lend a hand");
    EXPECT_TRUE(onboarding.note()->isVisible());
    EXPECT_FALSE(onboarding.continueButton()->isEnabled());
    EXPECT_FALSE(onboarding.windowControlSwitch()->isChecked());
    press(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(model.showOnboarding());

    // The keyboard moved on to the switch the step asks for; Space on it asks, and the switch
    // waits for the answer.
    ASSERT_TRUE(onboarding.windowControlSwitch()->hasFocus());
    press(Qt::Key_Space);
    EXPECT_EQ(requests, 1);
    EXPECT_FALSE(onboarding.windowControlSwitch()->isChecked());
    windowControl = true;
    clock.advance(std::chrono::seconds(1));
    EXPECT_TRUE(onboarding.windowControlSwitch()->isChecked());
    EXPECT_TRUE(onboarding.continueButton()->isEnabled());

    press(Qt::Key_Tab);
    ASSERT_TRUE(onboarding.loginSwitch()->hasFocus());
    press(Qt::Key_Space);
    EXPECT_TRUE(login.enabled());
    EXPECT_TRUE(onboarding.loginSwitch()->isChecked());

    // Finishing writes the two keys and nothing else.
    const QSet<QString> before = storedKeys(*defaults);
    press(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(model.showOnboarding());
    EXPECT_EQ(storedKeys(*defaults) - before,
              QSet<QString>({keys::onboardingComplete, keys::onboardingVersion}));
    EXPECT_EQ(defaults->boolValue(keys::onboardingComplete), true);
    EXPECT_EQ(defaults->integerValue(keys::onboardingVersion), 1);
    EXPECT_EQ(defaults->keys().size(), before.size() + 2);
}

TEST_F(OnboardingViewTest, AFailedLoginItemIsSaidAndTheSwitchGoesBack) {
    OnboardingView& onboarding = start(2);
    login.failure = QStringLiteral("Read-only file system");
    EXPECT_TRUE(onboarding.permissions()->loginError()->isHidden());
    QTest::mouseClick(onboarding.loginSwitch(), Qt::LeftButton);
    EXPECT_EQ(login.changes, 1);
    EXPECT_FALSE(onboarding.loginSwitch()->isChecked());
    EXPECT_TRUE(onboarding.permissions()->loginError()->isVisible());
    EXPECT_EQ(onboarding.permissions()->loginError()->text(), "Read-only file system");

    // Fixed elsewhere and turned on there: seen when the user comes back to the application.
    login.failure.clear();
    login.setEnabledElsewhere(true);
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_TRUE(onboarding.loginSwitch()->isChecked());
    // The login item is optional: it never holds the user back.
    windowControl = true;
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_TRUE(onboarding.continueButton()->isEnabled());
}

TEST_F(OnboardingViewTest, ThePracticeMonitorTakesOnlyItsKeysInEveryWindowAndOnlyWhileShown) {
    OnboardingView& onboarding = start(1);
    QPlainTextEdit notes;
    notes.setTabChangesFocus(false);
    notes.show();
    notes.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&notes));
    const auto type = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(notes.windowHandle(), key, modifiers);
    };

    type(Qt::Key_X);
    type(Qt::Key_Tab);
    type(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(notes.toPlainText(), "x");
    EXPECT_EQ(model.verifiedKeys(), QSet<int>({Gesture::Select, Gesture::Clear}));

    onboarding.hide();
    EXPECT_FALSE(onboarding.monitoringKeys());
    model.setVerifiedKeys({});
    type(Qt::Key_Tab);
    EXPECT_EQ(notes.toPlainText(), "x\t");
    EXPECT_TRUE(model.verifiedKeys().isEmpty());
}

TEST_F(OnboardingViewTest, WindowControlIsPolledOnlyOnTheLastStepWhileShown) {
    OnboardingView& onboarding = start(0);
    EXPECT_EQ(clock.pending(), 0u);  // nothing to poll for before the last step

    windowControl = true;
    model.setOnboardingStep(2);  // reaching the step reads at once
    EXPECT_TRUE(onboarding.windowControlSwitch()->isChecked());
    EXPECT_EQ(clock.pending(), 1u);

    onboarding.hide();
    EXPECT_EQ(clock.pending(), 0u);
    windowControl = false;
    clock.advance(std::chrono::seconds(5));
    EXPECT_TRUE(onboarding.windowControlSwitch()->isChecked());

    onboarding.show();  // read on showing
    EXPECT_FALSE(onboarding.windowControlSwitch()->isChecked());
    EXPECT_FALSE(onboarding.continueButton()->isEnabled());

    // Continue reads first: window control that came a moment ago is enough to finish.
    windowControl = true;
    press(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(model.showOnboarding());
}

TEST_F(OnboardingViewTest, AShortcutHeldElsewhereIsSaidWithTheRecorderAndANewOneCounts) {
    sim.setHotKeyTaken(kCtrlEscape, true);
    OnboardingView& onboarding = start(1);
    QLabel* problem = onboarding.practice()->shortcutProblem();
    QWidget* recorder = onboarding.practice()->shortcutButton();
    ASSERT_NE(recorder, nullptr);
    EXPECT_TRUE(problem->isVisible());
    EXPECT_EQ(problem->text(), shortcut->error());
    EXPECT_TRUE(recorder->isVisible());
    EXPECT_EQ(onboarding.card(Gesture::Open)->keys(), QStringList({"Ctrl", "esc"}));
    EXPECT_FALSE(sim.pressHotKey(kCtrlEscape));

    // Keys typed on the recorder are its own, practice keys included.
    recorder->setFocus();
    press(Qt::Key_Tab);
    EXPECT_TRUE(model.verifiedKeys().isEmpty());

    // What the recorder does with Ctrl+Alt+K.
    const KeyStroke ctrlAltK{'k', KeyModifier::Ctrl | KeyModifier::Alt};
    ASSERT_TRUE(shortcut->registerCombination(ctrlAltK));
    shortcut->setLabel(QStringLiteral("⌥⌘K"));
    EXPECT_EQ(onboarding.card(Gesture::Open)->keys(), QStringList({"Alt", "Ctrl", "K"}));
    EXPECT_TRUE(problem->isHidden());
    EXPECT_TRUE(recorder->isHidden());
    ASSERT_TRUE(sim.pressHotKey(ctrlAltK));
    EXPECT_EQ(model.verifiedKeys(), QSet<int>{Gesture::Open});

    // Switched off from the tray, the shortcut cannot be tried either: said the same way.
    shortcut->setEnabled(false);
    EXPECT_TRUE(problem->isVisible());
    EXPECT_TRUE(problem->text().contains("Enable Tessora"));
    EXPECT_TRUE(recorder->isVisible());
}

TEST_F(OnboardingViewTest, ScreenReadersHearCardsSwitchesTextsAndContinue) {
    OnboardingView& onboarding = start(1);
    model.insertVerifiedKey(Gesture::Select);
    // Name and value, as a screen reader says them.
    const auto says = [](QObject* object) {
        QAccessibleInterface* element = QAccessible::queryAccessibleInterface(object);
        return element == nullptr
                   ? QString("none")
                   : element->text(QAccessible::Name) + '|' + element->text(QAccessible::Value);
    };
    const auto role = [](QObject* object) {
        return QAccessible::queryAccessibleInterface(object)->role();
    };
    EXPECT_EQ(says(onboarding.card(Gesture::Open)), "Press Open|Waiting");
    EXPECT_EQ(says(onboarding.card(Gesture::Select)), "Press Select|Verified");
    EXPECT_EQ(says(onboarding.card(Gesture::Clear)), "Press Clear|Waiting");
    EXPECT_EQ(role(onboarding.card(Gesture::Clear)), QAccessible::StaticText);
    EXPECT_EQ(says(onboarding.title()), "Try your keys|");
    EXPECT_EQ(says(onboarding.practice()->counter()), "1/3 verified|");
    EXPECT_EQ(role(onboarding.practice()->counter()), QAccessible::StaticText);

    QAccessibleInterface* button =
        QAccessible::queryAccessibleInterface(onboarding.continueButton());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->role(), QAccessible::Button);
    EXPECT_EQ(button->text(QAccessible::Name), "Continue");
    EXPECT_TRUE(button->state().disabled);

    model.setVerifiedKeys({0, 1, 2});
    windowControl = true;
    press(Qt::Key_Return, Qt::ControlModifier);
    QAccessibleInterface* control =
        QAccessible::queryAccessibleInterface(onboarding.windowControlSwitch());
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->role(), QAccessible::CheckBox);
    EXPECT_EQ(control->text(QAccessible::Name), "Window control");
    EXPECT_EQ(control->text(QAccessible::Description), "Required to move and resize app windows.");
    EXPECT_TRUE(control->state().checked);
    EXPECT_FALSE(button->state().disabled);
    EXPECT_EQ(says(onboarding.loginSwitch()), "Launch at login|");
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(onboarding.loginSwitch())->state().checked);
    EXPECT_EQ(says(onboarding.note()),
              "Window control needs an X11 session with a window manager. Launch at login is "
              "optional.|");
}

}  // namespace
}  // namespace tessora
