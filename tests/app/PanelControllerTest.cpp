// When the launcher panel shows and hides, on the simulated desktop with a stand-in panel.
#include "app/PanelController.h"
#include "launcher/PanelNotifier.h"
#include "platform/DefaultsStore.h"
#include "platform/sim/ManualBackgroundWork.h"
#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/VirtualClock.h"
#include "workspace/SettingsKeys.h"
#include "workspace/WorkspaceModel.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QRectF>

namespace tessora {
namespace {

class FakePanel final : public PanelWindow {
public:
    explicit FakePanel(QStringList& log) : m_log(log) {}

    bool isPanelVisible() const override { return visible; }
    ScreenRect panelFrame() const override { return frame; }
    std::optional<ScreenRect> panelScreenVisibleFrame() const override { return std::nullopt; }
    void setPanelFrame(const ScreenRect& f) override { frame = f; }
    void orderFront() override {
        visible = true;
        m_log << "front";
    }
    void orderOut() override {
        const bool was = visible;
        visible = false;
        if (was && m_didDismiss) {
            m_didDismiss();
        }
    }
    void setDidDismiss(std::function<void()> didDismiss) override {
        m_didDismiss = std::move(didDismiss);
    }
    void setDidBecomeKey(std::function<void()> didBecomeKey) override {
        m_didBecomeKey = std::move(didBecomeKey);
    }
    void deliverTypedKeys(const QList<TypedKey>& keys) override {
        for (const TypedKey& key : keys) {
            m_log << "typed " + key.text;
        }
    }
    bool canShowAgain() const override { return showable; }
    void setDidBecomeShowable(std::function<void()> didBecomeShowable) override {
        m_didBecomeShowable = std::move(didBecomeShowable);
    }
    void becomeKey() {
        if (m_didBecomeKey) {
            m_didBecomeKey();
        }
    }
    // The window system finishes hiding the panel.
    void finishHiding() {
        showable = true;
        if (m_didBecomeShowable) {
            m_didBecomeShowable();
        }
    }

    bool visible = false;
    bool showable = true;
    ScreenRect frame{0, 0, 544, 550};

private:
    QStringList& m_log;
    std::function<void()> m_didDismiss;
    std::function<void()> m_didBecomeKey;
    std::function<void()> m_didBecomeShowable;
};

class PanelControllerTest : public ::testing::Test {
protected:
    static constexpr qint64 ownPid = 4242;

    PanelControllerTest() {
        // A 1440 x 900 primary monitor with a 25 px top panel, and a larger one to its right.
        sim.setScreens({{1, {0, 0, 1440, 900}, {0, 25, 1440, 875}},
                        {2, {1440, 0, 1920, 1080}, {1440, 0, 1920, 1040}}});
        sim.setPointer(QPointF(700, 500));
        editorWindow = sim.addWindow(sim.addApp("org.example.Editor", "Editor"), {0, 0, 800, 600});
        terminalWindow =
            sim.addWindow(sim.addApp("org.example.Terminal", "Terminal"), {0, 0, 800, 600});
        sim.setActiveWindow(editorWindow);

        QObject::connect(&notifier, &PanelNotifier::casementPanelShown, [this] { log << "shown"; });
        QObject::connect(&notifier, &PanelNotifier::casementPanelHidden, [this] {
            log << (model->selected().isEmpty() && model->query().isEmpty() ? "hidden, cleared"
                                                                            : "hidden");
        });
        QObject::connect(&notifier, &PanelNotifier::casementPanelRefocus,
                         [this] { log << "refocus"; });
        makeController();
    }

    ~PanelControllerTest() override {
        controller.reset();
        model.reset();
        background.runAll();  // scans started by showPanel finish against a model that is gone
    }

    void makeController() {
        PanelController::Hooks hooks;
        hooks.launcherEnabled = [this] { return enabled; };
        hooks.openFirstRun = [this] { log << "first run"; };
        hooks.syncStackIndicator = [this] { log << "sync indicator"; };
        hooks.ownWindowAt = [this](QPointF p) { return ownWindow.contains(p); };
        hooks.activated = [this](const RunningApplication& app) { log << "activated " + app.id; };
        controller = std::make_unique<PanelController>(sim, clock, *model, panel, notifier,
                                                       std::move(hooks), ownPid);
    }

    void nextTurn() { QCoreApplication::sendPostedEvents(); }

    VirtualClock clock;
    SimWindowSystem sim{clock};
    ManualBackgroundWork background;
    std::unique_ptr<DefaultsStore> defaults =
        DefaultsStore::inMemory({{keys::onboardingVersion, 1}});
    std::unique_ptr<WorkspaceModel> model = std::make_unique<WorkspaceModel>(
        *defaults, WorkspaceServices{sim, background, {}, {}, nullptr});
    QStringList log;
    FakePanel panel{log};
    PanelNotifier notifier;
    std::unique_ptr<PanelController> controller;
    bool enabled = true;
    QRectF ownWindow;
    WindowId editorWindow = 0;
    WindowId terminalWindow = 0;
};

TEST_F(PanelControllerTest, ShowsOnTheScreenUnderThePointerAndSaysSoOnTheNextTurn) {
    sim.setPointer(QPointF(1500, 300));
    controller->showPanel();
    // Window space: the second monitor's visible frame is 1040 high from y 0; the primary one
    // is 900 high, so in screen space that frame starts at y -140.
    EXPECT_EQ(panel.frame, (ScreenRect{1440 + 960 - 272, -140 + 1040 - 550 - 80, 544, 550}));
    EXPECT_EQ(model->targetDisplayID(), 2u);
    EXPECT_EQ(controller->presentingAppPID(), sim.app("org.example.Editor").pid);
    EXPECT_TRUE(model->scanInProgress());
    EXPECT_EQ(log, QStringList{"front"});
    nextTurn();
    EXPECT_EQ(log, QStringList({"front", "shown"}));

    // Off every screen the first one takes it, and the display is written only on change.
    controller->hidePanel();
    int displayWrites = 0;
    QObject::connect(model.get(), &WorkspaceModel::targetDisplayIDChanged,
                     [&] { ++displayWrites; });
    sim.setPointer(std::nullopt);
    controller->showPanel();
    EXPECT_EQ(panel.frame, (ScreenRect{448, 245, 544, 550}));
    EXPECT_EQ(model->targetDisplayID(), 1u);
    controller->showPanel();
    EXPECT_EQ(displayWrites, 1);
}

TEST_F(PanelControllerTest, WithoutScreensThePanelShowsWhereItWas) {
    sim.setScreens({});
    panel.frame = {10, 20, 544, 550};
    controller->showPanel();
    EXPECT_TRUE(panel.visible);
    EXPECT_EQ(panel.frame, (ScreenRect{10, 20, 544, 550}));
    EXPECT_EQ(model->targetDisplayID(), std::nullopt);
}

TEST_F(PanelControllerTest, ToggleShowsThenHidesAndEveryVisiblePeriodEndsOnce) {
    const InstalledApp app{"org.example.Editor", "Editor", "/x", {}};
    controller->togglePanel();
    nextTurn();
    model->toggle(app);
    model->setQuery("ed");
    controller->togglePanel();
    EXPECT_FALSE(panel.visible);
    controller->hidePanel();
    panel.orderOut();
    EXPECT_EQ(log, QStringList({"front", "shown", "hidden, cleared"}));

    // Hidden another way (Escape in the panel) it ends the same, once.
    log.clear();
    controller->showPanel();
    nextTurn();
    panel.orderOut();
    panel.orderOut();
    EXPECT_EQ(log, QStringList({"front", "shown", "hidden, cleared"}));
}

TEST_F(PanelControllerTest, APanelHiddenBeforeTheNextTurnNeverSaysItWasShown) {
    controller->showPanel();
    controller->hidePanel();
    nextTurn();
    controller->showPanel();
    nextTurn();
    EXPECT_EQ(log, QStringList({"front", "hidden, cleared", "front", "shown"}));
}

TEST_F(PanelControllerTest, SwitchedOffOrOnAFirstRunThePanelStaysAway) {
    enabled = false;
    controller->showPanel();
    EXPECT_FALSE(panel.visible);
    EXPECT_FALSE(model->scanInProgress());

    enabled = true;
    model->setShowOnboarding(true);
    controller->togglePanel();
    EXPECT_FALSE(panel.visible);
    EXPECT_EQ(log, QStringList{"first run"});
}

TEST_F(PanelControllerTest, OnlyAnotherApplicationBecomingActiveHidesThePanel) {
    controller->showPanel();
    log.clear();
    // Back to the application that was frontmost when the panel appeared: it stays.
    sim.setActiveWindow(editorWindow);
    // Our own windows and applications that are not regular change nothing either.
    SimApp& us = sim.addApp("org.tessora.Tessora", "Tessora");
    us.pid = ownPid;
    sim.setActiveWindow(sim.addWindow(us, {0, 0, 100, 100}));
    SimApp& dock = sim.addApp("org.example.Dock", "Dock");
    dock.regular = false;
    sim.setActiveWindow(sim.addWindow(dock, {0, 0, 100, 100}));
    EXPECT_TRUE(panel.visible);

    sim.setActiveWindow(terminalWindow);
    EXPECT_FALSE(panel.visible);
    // The recent history hears of every activation first.
    EXPECT_EQ(log, QStringList({"activated org.example.Editor", "activated org.tessora.Tessora",
                                "activated org.example.Dock", "activated org.example.Terminal",
                                "hidden, cleared"}));
}

TEST_F(PanelControllerTest, ShownAgainBeforeTheFocusWentBackTheUserStillCameFromTheSameApp) {
    SimApp& us = sim.addApp("org.tessora.Tessora", "Tessora");
    us.pid = ownPid;
    const WindowId panelWindow = sim.addWindow(us, {0, 0, 544, 550});
    controller->showPanel();
    sim.setActiveWindow(panelWindow);
    controller->hidePanel();
    // Shown again while the panel is still the active window: the window manager gives the
    // focus back to the editor only now, which must not hide the panel.
    controller->showPanel();
    EXPECT_EQ(controller->presentingAppPID(), sim.app("org.example.Editor").pid);
    sim.setActiveWindow(editorWindow);
    EXPECT_TRUE(panel.visible);
}

TEST_F(PanelControllerTest, ActivationsWhileThePointerIsAtTheTopOfAScreenLeaveThePanel) {
    controller->showPanel();
    sim.setPointer(QPointF(700, 96));
    sim.setActiveWindow(terminalWindow);
    EXPECT_TRUE(panel.visible);
    sim.setPointer(QPointF(700, 97));
    sim.setActiveWindow(editorWindow);
    sim.setActiveWindow(terminalWindow);
    EXPECT_FALSE(panel.visible);
}

TEST_F(PanelControllerTest, ClicksOutsideHideThePanelExceptAtTheTopOfAScreenOrOnOurWindows) {
    EXPECT_EQ(sim.liveButtonWatchers(), 0);
    controller->showPanel();
    EXPECT_EQ(sim.liveButtonWatchers(), 1);
    ownWindow = QRectF(448, 100, 544, 550);
    sim.clickAt({500, 300});  // on our own window
    sim.clickAt({700, 42});   // the tray strip of the primary monitor
    sim.clickAt({1600, 30});  // and of the second one
    EXPECT_TRUE(panel.visible);
    sim.clickAt({700, 43});
    EXPECT_FALSE(panel.visible);
    // Clicks are watched only while the panel is visible.
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(sim.liveButtonWatchers(), 0);
    EXPECT_EQ(log, QStringList({"front", "hidden, cleared"}));

    // Without a way to watch clicks the panel still works.
    sim.setRefuseButtonWatch(true);
    controller->showPanel();
    EXPECT_TRUE(panel.visible);
    EXPECT_FALSE(controller->watchingClicks());
}

TEST_F(PanelControllerTest, ADesktopChangeHidesThePanelThenSyncsTheStackIndicator) {
    controller->showPanel();
    nextTurn();
    sim.setCurrentDesktop(1);
    EXPECT_EQ(log, QStringList({"front", "shown", "hidden, cleared", "sync indicator"}));
}

TEST_F(PanelControllerTest, RefocusBringsOnlyAVisiblePanelBack) {
    controller->refocus();
    EXPECT_TRUE(log.isEmpty());
    controller->showPanel();
    nextTurn();
    controller->refocus();
    EXPECT_EQ(log, QStringList({"front", "shown", "front", "refocus"}));
}

TEST_F(PanelControllerTest, KeysTypedWhileThePanelIsOnItsWayGoToThePanel) {
    auto type = [this](const QString& text) {
        return sim.typeWhileHeld({{text.at(0).unicode(), {}}, text});
    };
    controller->showPanel();
    EXPECT_TRUE(type("f"));
    EXPECT_TRUE(type("i"));
    panel.becomeKey();
    EXPECT_FALSE(sim.keyboardHeld());
    EXPECT_EQ(log, QStringList({"front", "typed f", "typed i"}));

    // A panel that is already there holds nothing; one that never gets the focus lets go in time.
    controller->showPanel();
    EXPECT_FALSE(sim.keyboardHeld());
    controller->hidePanel();
    log.clear();
    controller->showPanel();
    type("x");
    clock.advance(KeyboardHandover::limit);
    EXPECT_FALSE(sim.keyboardHeld());
    EXPECT_EQ(log, QStringList({"front", "typed x"}));

    // Hidden before it had the focus, it gets nothing.
    controller->hidePanel();
    log.clear();
    controller->showPanel();
    type("y");
    controller->hidePanel();
    EXPECT_FALSE(sim.keyboardHeld());
    panel.becomeKey();
    clock.advance(KeyboardHandover::limit);
    EXPECT_EQ(log, QStringList({"front", "hidden, cleared"}));

    // Where the keyboard cannot be held, the panel shows all the same.
    controller->hidePanel();
    sim.setRefuseKeyboardHold(true);
    controller->showPanel();
    EXPECT_TRUE(panel.visible);
    EXPECT_FALSE(controller->holdingKeys());
}

TEST_F(PanelControllerTest, ShownAgainBeforeTheHidingIsDoneThePanelWaitsForIt) {
    const auto type = [this](const QString& text) {
        return sim.typeWhileHeld({{text.at(0).unicode(), {}}, text});
    };
    controller->showPanel();
    controller->hidePanel();
    log.clear();

    // The window system still hides it: the show waits, keeping what is typed meanwhile, and
    // goes on once the hiding is done.
    panel.showable = false;
    controller->showPanel();
    controller->showPanel();
    EXPECT_TRUE(type("a"));
    EXPECT_FALSE(panel.visible);
    EXPECT_TRUE(controller->showWaiting());
    panel.finishHiding();
    EXPECT_TRUE(panel.visible);
    EXPECT_FALSE(controller->showWaiting());
    panel.becomeKey();
    nextTurn();
    EXPECT_EQ(log, QStringList({"front", "typed a", "shown"}));

    // A toggle while it waits is the user changing their mind: it stays hidden and lets go.
    controller->hidePanel();
    log.clear();
    panel.showable = false;
    controller->togglePanel();
    controller->togglePanel();
    EXPECT_FALSE(controller->showWaiting());
    EXPECT_FALSE(sim.keyboardHeld());
    panel.finishHiding();
    clock.advance(PanelController::showAgainLimit);
    EXPECT_FALSE(panel.visible);

    // A window system that never says it is done cannot keep the panel away for long.
    panel.showable = false;
    controller->showPanel();
    clock.advance(PanelController::showAgainLimit);
    EXPECT_TRUE(panel.visible);
    EXPECT_FALSE(controller->showWaiting());
}

TEST_F(PanelControllerTest, AfterStoppingNothingIsObserved) {
    controller->showPanel();
    controller->stopObserving();
    EXPECT_EQ(sim.liveButtonWatchers(), 0);
    sim.setActiveWindow(terminalWindow);
    sim.setCurrentDesktop(1);
    EXPECT_TRUE(panel.visible);
}

}  // namespace
}  // namespace tessora
