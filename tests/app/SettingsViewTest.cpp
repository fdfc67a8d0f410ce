#include "app/SettingsView.h"

#include "app/ShortcutButton.h"
#include "app/ShortcutService.h"
#include "platform/sim/SimLoginItem.h"
#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/VirtualClock.h"
#include "preferences/OrrerySettingsRow.h"
#include "preferences/OrrerySwitch.h"
#include "workspace/SettingsKeys.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>

namespace tessora {
namespace {

class SettingsViewTest : public ::testing::Test {
protected:
    std::unique_ptr<SettingsView> makeView() {
        WindowControl windowControl{[this](QString* why) {
                                        if (!controllable && why != nullptr) {
                                            *why = QStringLiteral("No window manager is running.");
                                        }
                                        return controllable;
                                    },
                                    [this] { ++requests; }};
        return std::make_unique<SettingsView>(service, *defaults, sim, login, windowControl, clock,
                                              [this] { ++indicatorHides; });
    }
    bool stored(const char* key) const { return defaults->boolValue(key).value_or(false); }

    VirtualClock clock;
    SimWindowSystem sim{clock};
    std::unique_ptr<DefaultsStore> defaults = DefaultsStore::inMemory();
    ShortcutService service{sim, *defaults};
    SimLoginItem login;
    bool controllable = true;
    int requests = 0;
    int indicatorHides = 0;
};

TEST_F(SettingsViewTest, TheWindowLayoutSwitchesKeepEachOtherConsistent) {
    struct Case {
        const char* what;
        bool spacing, indicator;  // stored before
        bool clickIndicator;      // else the spacing switch
        bool spacingAfter, indicatorAfter;
        int hides;
    };
    const Case cases[] = {
        {"indicator on switches spacing on", false, false, true, true, true, 0},
        {"indicator on keeps spacing on", true, false, true, true, true, 0},
        {"indicator off hides the indicator at once", true, true, true, true, false, 1},
        {"spacing off switches the indicator off", true, true, false, false, false, 1},
        {"spacing off alone", true, false, false, false, false, 0},
        {"spacing on alone", false, false, false, true, false, 0},
    };
    for (const Case& c : cases) {
        defaults->setBool(keys::windowSpacingEnabled, c.spacing);
        defaults->setBool(keys::stackIndicatorsEnabled, c.indicator);
        indicatorHides = 0;
        auto view = makeView();
        EXPECT_EQ(view->spacingSwitch()->isChecked(), c.spacing) << c.what;
        EXPECT_EQ(view->stackIndicatorSwitch()->isChecked(), c.indicator) << c.what;

        (c.clickIndicator ? view->stackIndicatorSwitch() : view->spacingSwitch())->click();
        EXPECT_EQ(stored(keys::windowSpacingEnabled), c.spacingAfter) << c.what;
        EXPECT_EQ(stored(keys::stackIndicatorsEnabled), c.indicatorAfter) << c.what;
        EXPECT_EQ(view->spacingSwitch()->isChecked(), c.spacingAfter) << c.what;
        EXPECT_EQ(view->stackIndicatorSwitch()->isChecked(), c.indicatorAfter) << c.what;
        EXPECT_EQ(indicatorHides, c.hides) << c.what;
    }
}

TEST_F(SettingsViewTest, ARefusedLoginChangeSaysWhyAndPutsTheSwitchBack) {
    auto view = makeView();
    view->show();
    login.failure = QStringLiteral("Read-only file system");
    view->loginSwitch()->click();
    EXPECT_FALSE(view->loginSwitch()->isChecked());
    EXPECT_TRUE(view->loginErrorLabel()->isVisible());
    EXPECT_EQ(view->loginErrorLabel()->text(), "Read-only file system");

    login.failure.clear();
    view->loginSwitch()->click();
    EXPECT_TRUE(login.enabled());
    EXPECT_TRUE(view->loginSwitch()->isChecked());
    EXPECT_FALSE(view->loginErrorLabel()->isVisible());

    // Changed elsewhere: read again when the program comes back to the front.
    login.setEnabledElsewhere(false);
    EXPECT_TRUE(view->loginSwitch()->isChecked());
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_FALSE(view->loginSwitch()->isChecked());
    EXPECT_EQ(login.changes, 2);
}

TEST_F(SettingsViewTest, WindowControlIsReadAgainEverySecondOnlyWhileShown) {
    controllable = false;
    auto view = makeView();
    const std::size_t pendingBefore = clock.pending();
    view->show();
    EXPECT_FALSE(view->windowControlSwitch()->isChecked());
    EXPECT_TRUE(view->windowControlRow()->needsAttention());
    EXPECT_EQ(view->windowControlSwitch()->accessibleDescription(),
              "No window manager is running.");

    // Switching it on asks the user; it stays off until window control is there.
    view->windowControlSwitch()->click();
    EXPECT_EQ(requests, 1);
    EXPECT_FALSE(view->windowControlSwitch()->isChecked());

    controllable = true;
    clock.advance(std::chrono::seconds(1));
    EXPECT_TRUE(view->windowControlSwitch()->isChecked());
    EXPECT_FALSE(view->windowControlRow()->needsAttention());
    view->windowControlSwitch()->click();  // on already: nothing to ask
    EXPECT_EQ(requests, 1);
    EXPECT_TRUE(view->windowControlSwitch()->isChecked());

    view->hide();
    EXPECT_EQ(clock.pending(), pendingBefore);
}

TEST_F(SettingsViewTest, RecordingShowsItsHintAndRefusalsAndEndsWhenThePageHides) {
    auto view = makeView();
    view->show();
    ShortcutButton& button = *view->shortcutButton();
    EXPECT_FALSE(view->recordingHintLabel()->isVisible());

    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_TRUE(view->recordingHintLabel()->isVisible());
    EXPECT_EQ(view->recordingHintLabel()->text(),
              "Press esc to cancel. Include Ctrl, Alt or Super.");
    QTest::keyClick(view.get(), Qt::Key_K);
    EXPECT_TRUE(view->shortcutErrorLabel()->isVisible());
    EXPECT_EQ(view->shortcutErrorLabel()->text(), "Include Super, Alt or Ctrl.");

    view->hide();
    EXPECT_FALSE(button.recording());
    view->show();
    EXPECT_FALSE(view->recordingHintLabel()->isVisible());
    EXPECT_TRUE(sim.pressHotKey({keysym::escape, KeyModifier::Ctrl}));
}

TEST_F(SettingsViewTest, EveryControlIsNamedForAssistiveTechnology) {
    auto view = makeView();
    view->show();
    const std::pair<QWidget*, const char*> switches[] = {
        {view->loginSwitch(), "Launch at login"},
        {view->windowControlSwitch(), "Window control"},
        {view->spacingSwitch(), "Space between windows"},
        {view->stackIndicatorSwitch(), "Stack indicator"},
    };
    for (const auto& [widget, name] : switches) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(accessible, nullptr) << name;
        EXPECT_EQ(accessible->text(QAccessible::Name), name);
        EXPECT_EQ(accessible->role(), QAccessible::CheckBox) << name;
        EXPECT_TRUE(accessible->state().checkable) << name;
    }
    QAccessibleInterface* version = QAccessible::queryAccessibleInterface(view->versionLabel());
    EXPECT_EQ(version->role(), QAccessible::StaticText);
    EXPECT_TRUE(version->text(QAccessible::Name).startsWith("Version "));

    view->spacingSwitch()->click();
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(view->spacingSwitch())->state().checked);
}

}  // namespace
}  // namespace tessora
