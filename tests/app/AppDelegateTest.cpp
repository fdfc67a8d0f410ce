// The resident application's root on the simulated desktop: start-up, the tray menu, the
// shortcut, the first run and the recent history.
#include "app/AppDelegate.h"
#include "app/CasementPanel.h"
#include "app/OnboardingView.h"
#include "app/PanelController.h"
#include "app/SettingsView.h"
#include "app/SettingsWindow.h"
#include "app/ShortcutService.h"
#include "app/StatusMenu.h"
#include "app/Updater.h"
#include "chain/RibbonLayoutSession.h"
#include "core/TaskHandle.h"
#include "platform/DefaultsStore.h"
#include "platform/sim/ManualBackgroundWork.h"
#include "platform/sim/SimLoginItem.h"
#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/VirtualClock.h"
#include "preferences/OrreryButton.h"
#include "preferences/OrrerySettingsRow.h"
#include "preferences/OrrerySwitch.h"
#include "tests/support/TemporaryTree.h"
#include "workspace/SettingsKeys.h"
#include "workspace/WindowLayout.h"
#include "workspace/WorkspaceModel.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QCoreApplication>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QSystemTrayIcon>

namespace tessora {
namespace {

constexpr qint64 ownPid = 4242;
const KeyStroke ctrlEscape{keysym::escape, KeyModifier::Ctrl};

class FakeUpdater final : public Updater {
public:
    bool canCheck() const override { return true; }
    void checkForUpdates() override { ++checks; }
    void setIsArranging(std::function<bool()> isArranging) override {
        arranging = std::move(isArranging);
    }
    int checks = 0;
    std::function<bool()> arranging;
};

class AppDelegateTest : public ::testing::Test {
protected:
    AppDelegateTest() {
        sim.setScreens({{1, {0, 0, 1440, 900}, {0, 25, 1440, 875}}});
        sim.setPointer(QPointF(700, 500));
    }

    ~AppDelegateTest() override {
        delegate.reset();
        background.runAll();  // scans still waiting for the disk end against a gone model
    }

    AppDelegate& start(QJsonObject settings = {{keys::onboardingVersion, 1}},
                       QStringList arguments = {"tessora"}) {
        defaults = DefaultsStore::inMemory(settings);
        delegate = std::make_unique<AppDelegate>(AppContext{sim,
                                                            clock,
                                                            background,
                                                            *defaults,
                                                            catalog,
                                                            {},
                                                            {},
                                                            {},
                                                            &updater,
                                                            std::move(arguments),
                                                            ownPid,
                                                            &loginItem});
        delegate->applicationDidFinishLaunching();
        return *delegate;
    }

    bool panelVisible() const { return delegate->panel()->isPanelVisible(); }
    // Lets the window system finish hiding the panel (its expose event, then our reaction to
    // it), as the event loop would before the user's next key.
    static void finishHiding() {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    VirtualClock clock;
    SimWindowSystem sim{clock};
    ManualBackgroundWork background;
    FakeUpdater updater;
    SimLoginItem loginItem;
    CatalogEnvironment catalog;
    std::unique_ptr<DefaultsStore> defaults;
    std::unique_ptr<AppDelegate> delegate;
};

TEST_F(AppDelegateTest, UnitTestingStartsNothing) {
    AppDelegate& app = start({}, {"tessora", "--unit-testing"});
    EXPECT_FALSE(app.started());
    EXPECT_EQ(app.statusMenu(), nullptr);
    EXPECT_EQ(app.panel(), nullptr);
    EXPECT_EQ(app.settingsWindow(), nullptr);  // even on a first run
    EXPECT_FALSE(app.model().scanInProgress());
    EXPECT_EQ(background.pending(), 0u);
    EXPECT_FALSE(updater.arranging);
    sim.pressHotKey(ctrlEscape);
    sim.setActiveWindow(sim.addWindow(sim.addApp("org.example.Editor", "Editor"), {}));
    EXPECT_TRUE(app.model().recentIDs().isEmpty());
    EXPECT_EQ(app.settingsWindow(), nullptr);
}

TEST_F(AppDelegateTest, StartUpBuildsTheTrayThePanelAndScansOnce) {
    AppDelegate& app = start();
    EXPECT_TRUE(app.started());
    ASSERT_NE(app.statusMenu(), nullptr);
    EXPECT_EQ(app.statusMenu()->trayIcon()->toolTip(), "Tessora");
    ASSERT_NE(app.panel(), nullptr);
    EXPECT_FALSE(app.panel()->isPanelVisible());
    EXPECT_EQ(app.settingsWindow(), nullptr);  // not a first run
    EXPECT_TRUE(app.model().scanInProgress());
    EXPECT_TRUE(app.shortcut().enabled());
    // The updater may ask whether a launch run is arranging.
    ASSERT_TRUE(updater.arranging);
    EXPECT_FALSE(updater.arranging());
    app.model().setBusy(true);
    EXPECT_TRUE(updater.arranging());
}

TEST_F(AppDelegateTest, TheMenuHasItsItemsInOrderWithTheirStates) {
    AppDelegate& app = start();
    QMenu* menu = app.statusMenu()->menu();
    EXPECT_EQ(menu->title(), "Tessora");
    QStringList titles;
    for (const QAction* action : menu->actions()) {
        titles << (action->isSeparator() ? "—" : action->text());
    }
    EXPECT_EQ(titles, QStringList({"Enable Tessora", "Open Tessora", "Shortcuts…", "—",
                                   "Check for Updates…", "Settings…", "—", "Quit Tessora"}));
    EXPECT_TRUE(app.statusMenu()->enableItem()->isCheckable());
    EXPECT_EQ(app.statusMenu()->quitItem()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

    emit menu->aboutToShow();
    EXPECT_TRUE(app.statusMenu()->enableItem()->isChecked());
    EXPECT_TRUE(app.statusMenu()->updateItem()->isEnabled());
    app.statusMenu()->updateItem()->trigger();
    EXPECT_EQ(updater.checks, 1);

    // During a launch run there is no checking for updates.
    app.model().setBusy(true);
    emit menu->aboutToShow();
    EXPECT_FALSE(app.statusMenu()->updateItem()->isEnabled());
}

TEST_F(AppDelegateTest, WithoutAnUpdaterCheckingStaysDisabled) {
    defaults = DefaultsStore::inMemory({{keys::onboardingVersion, 1}});
    delegate = std::make_unique<AppDelegate>(AppContext{
        sim, clock, background, *defaults, catalog, {}, {}, {}, nullptr, {"tessora"}, ownPid,
        &loginItem});
    delegate->applicationDidFinishLaunching();
    emit delegate->statusMenu()->menu()->aboutToShow();
    EXPECT_FALSE(delegate->statusMenu()->updateItem()->isEnabled());
}

TEST_F(AppDelegateTest, TheShortcutTogglesThePanelUntilTheLauncherIsSwitchedOff) {
    AppDelegate& app = start();
    EXPECT_TRUE(sim.pressHotKey(ctrlEscape));
    EXPECT_TRUE(panelVisible());
    sim.pressHotKey(ctrlEscape);
    EXPECT_FALSE(panelVisible());

    finishHiding();
    app.statusMenu()->openItem()->trigger();
    EXPECT_TRUE(panelVisible());
    app.statusMenu()->enableItem()->trigger();
    EXPECT_FALSE(panelVisible());
    EXPECT_FALSE(app.shortcut().enabled());
    EXPECT_FALSE(app.statusMenu()->enableItem()->isChecked());
    EXPECT_FALSE(sim.pressHotKey(ctrlEscape));
    app.statusMenu()->openItem()->trigger();
    app.applicationShouldHandleReopen();
    EXPECT_FALSE(panelVisible());

    app.statusMenu()->enableItem()->trigger();
    EXPECT_TRUE(app.statusMenu()->enableItem()->isChecked());
    finishHiding();
    app.applicationShouldHandleReopen();
    EXPECT_TRUE(panelVisible());
}

TEST_F(AppDelegateTest, ClosingTheMenuGivesAVisiblePanelTheFocusBack) {
    AppDelegate& app = start();
    int refocused = 0;
    QObject::connect(&app.notifier(), &PanelNotifier::casementPanelRefocus, [&] { ++refocused; });
    emit app.statusMenu()->menu()->aboutToHide();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(refocused, 0);
    app.showPanel();
    const qsizetype activations = sim.activatedWindows().size();
    emit app.statusMenu()->menu()->aboutToHide();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(refocused, 1);
    EXPECT_EQ(sim.activatedWindows().size(), activations + 1);
}

TEST_F(AppDelegateTest, AFirstRunOpensTheWelcomeWindowAndContinueFinishesIt) {
    AppDelegate& app = start({});
    SettingsWindow* window = app.settingsWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Tessora");
    EXPECT_TRUE(window->showsFirstRun());
    EXPECT_EQ(window->size(), QSize(700, 620));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());

    // The shortcut opens the first-run window rather than the panel...
    window->hide();
    sim.pressHotKey(ctrlEscape);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(panelVisible());
    // ...and on the page that asks the user to try it, it counts as tried.
    app.model().setOnboardingStep(1);
    sim.pressHotKey(ctrlEscape);
    EXPECT_EQ(app.model().verifiedKeys(), QSet<int>{0});
    EXPECT_FALSE(panelVisible());

    // Through the three steps: the practice keys, then window control, which the sim grants.
    auto* firstRun = qobject_cast<OnboardingView*>(window->page());
    ASSERT_NE(firstRun, nullptr);
    app.model().insertVerifiedKey(1);
    app.model().insertVerifiedKey(2);
    firstRun->continueButton()->click();
    EXPECT_EQ(app.model().onboardingStep(), 2);
    firstRun->continueButton()->click();
    EXPECT_FALSE(app.model().showOnboarding());
    EXPECT_EQ(defaults->integerValue(keys::onboardingVersion), 1);
    EXPECT_EQ(defaults->boolValue(keys::onboardingComplete), true);
    QCoreApplication::processEvents();  // the window grows once, after the change
    EXPECT_NE(window->findChild<SettingsView*>(), nullptr);
    EXPECT_EQ(window->size(), QSize(791, 620));
    EXPECT_EQ(window->minimumSize(), QSize(791, 480));
    EXPECT_EQ(window->maximumWidth(), 791);

    app.model().setOnboardingStep(0);
    sim.pressHotKey(ctrlEscape);
    EXPECT_TRUE(panelVisible());
    // Opening the settings hides the panel; the window is the same one.
    app.statusMenu()->settingsItem()->trigger();
    EXPECT_FALSE(panelVisible());
    EXPECT_EQ(app.settingsWindow(), window);
    EXPECT_EQ(app.navigation().section(), PreferencesNavigation::Section::Settings);
    app.statusMenu()->shortcutsItem()->trigger();
    EXPECT_EQ(app.navigation().section(), PreferencesNavigation::Section::Shortcuts);
}

TEST_F(AppDelegateTest, TheSettingsPageSaysWhyTheShortcutDoesNothingAndSwitchesTheLoginItem) {
    sim.setHotKeyTaken(ctrlEscape, true);
    AppDelegate& app = start();
    app.openSettingsWindow(PreferencesNavigation::Section::Settings);
    auto* page = app.settingsWindow()->findChild<SettingsView*>();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->shortcutErrorLabel()->text().startsWith("This shortcut is unavailable."));

    page->loginSwitch()->click();
    EXPECT_TRUE(loginItem.enabled());
}

TEST_F(AppDelegateTest, AShortcutTakenByAnotherProgramLocksNobodyOut) {
    sim.setHotKeyTaken(ctrlEscape, true);
    AppDelegate& app = start();
    emit app.statusMenu()->menu()->aboutToShow();
    EXPECT_TRUE(app.statusMenu()->enableItem()->isChecked());
    EXPECT_FALSE(app.shortcut().hotKeyActive());

    app.statusMenu()->openItem()->trigger();
    EXPECT_TRUE(panelVisible());
    app.hidePanel();
    finishHiding();
    app.applicationShouldHandleReopen();  // a second start
    EXPECT_TRUE(panelVisible());

    // The tray's switch still switches the launcher off and on.
    app.statusMenu()->enableItem()->trigger();
    EXPECT_FALSE(panelVisible());
    app.applicationShouldHandleReopen();
    EXPECT_FALSE(panelVisible());
    app.statusMenu()->enableItem()->trigger();
    EXPECT_TRUE(app.statusMenu()->enableItem()->isChecked());
    finishHiding();
    app.applicationShouldHandleReopen();
    EXPECT_TRUE(panelVisible());
}

TEST_F(AppDelegateTest, ActivationsOfLaunchableApplicationsEnterTheRecentHistory) {
    testing::TemporaryTree tree;
    const QString apps = tree.makeFolder("share/applications");
    catalog.applicationFolders = {apps};
    auto entry = [&](const QString& id, const QByteArray& extra) {
        return tree.write(
            "share/applications/" + id + ".desktop",
            "[Desktop Entry]\nType=Application\nName=" + id.toUtf8() + "\nExec=true\n" + extra);
    };
    AppDelegate& app = start();
    auto activate = [&](const QString& id, const QString& location, bool regular = true,
                        qint64 pid = 0) {
        SimApp& simApp = sim.addApp(id, id);
        simApp.location = location;
        simApp.regular = regular;
        if (pid != 0) {
            simApp.pid = pid;
        }
        sim.setActiveWindow(sim.addWindow(simApp, {0, 0, 100, 100}));
    };
    activate("editor", entry("editor", ""));
    activate("agent", entry("agent", "NoDisplay=true\n"));  // not something users launch
    activate("missing", apps + "/missing.desktop");         // its entry went away
    activate("unlisted", "/usr/bin/unlisted");              // no entry, not in the catalog
    activate("background", entry("background", ""), false);
    activate("org.tessora.Tessora", entry("org.tessora.Tessora", ""), true, ownPid);
    EXPECT_EQ(app.model().recentIDs(), QStringList{"editor"});
}

TEST_F(AppDelegateTest, AChangeOfMonitorsEndsTheChainAndPutsItsWindowsBack) {
    AppDelegate& app = start();
    InstalledApps apps;
    QList<WindowId> windows;
    for (const char* id : {"a", "b", "c"}) {
        SimApp& simApp = sim.addApp(id, id);
        windows << sim.addWindow(simApp, {100, 100, 800, 600});
        apps << simApp.installedApp();
    }
    auto running = tessora::start(app.chainSession().start(
        layoutWithID(QString::fromLatin1(chainLayoutId))->regions, apps, {0, 25, 1440, 875}, 0));
    clock.runUntil([&] { return running.done(); }, std::chrono::seconds(30));
    ASSERT_TRUE(app.chainSession().isActive());
    ASSERT_NE(sim.frame(windows[0]), (WindowRect{100, 100, 800, 600}));

    sim.setScreens({{1, {0, 0, 1920, 1080}, {0, 0, 1920, 1080}}});
    EXPECT_FALSE(app.chainSession().isActive());
    for (WindowId window : windows) {
        EXPECT_EQ(sim.frame(window), (WindowRect{100, 100, 800, 600}));
    }
}

TEST_F(AppDelegateTest, TerminationLetsGoOfEverythingOnce) {
    AppDelegate& app = start();
    app.showPanel();
    EXPECT_EQ(sim.liveButtonWatchers(), 1);
    app.applicationWillTerminate();
    EXPECT_EQ(app.statusMenu()->trayIcon(), nullptr);
    EXPECT_EQ(sim.liveButtonWatchers(), 0);
    sim.setCurrentDesktop(1);
    EXPECT_TRUE(panelVisible());
    app.applicationWillTerminate();
}

}  // namespace
}  // namespace tessora
