#include "core/Task.h"
#include "tests/arrange/SimDesktopFixture.h"

using namespace std::chrono_literals;
using namespace tessora;

namespace {
using SimWindowSystemTest = SimDesktopFixture;
}

TEST_F(SimWindowSystemTest, WritesKeepMinimumSizesAndSizeIncrements) {
    auto& term = sim.addApp("org.example.Term", "Term");
    const WindowId w = sim.addWindow(term, {0, 0, 100, 100});
    sim.setSizeIncrements(w, {8, 10}, {4, 0});
    sim.setFrame(w, {10, 20, 500, 300});
    EXPECT_EQ(sim.window(w).frame, (WindowRect{10, 20, 500, 300}));  // 4 + 62 * 8
    sim.setFrame(w, {10, 20, 503, 309});
    EXPECT_EQ(sim.window(w).frame, (WindowRect{10, 20, 500, 300}));

    sim.setMinimumSize(w, {0, 305});
    sim.setFrame(w, {0, 0, 500, 200});
    EXPECT_EQ(sim.window(w).frame, (WindowRect{0, 0, 500, 310}));
    sim.window(w).fullScreen = true;
    sim.setPosition(w, 50, 50);
    EXPECT_EQ(sim.window(w).frame.x, 0);
}

TEST_F(SimWindowSystemTest, LaunchesTakeVirtualTimeAndEndWithTheInstance) {
    auto& app = sim.addInstalledApp("org.example.App", "App");
    app.launchDelay = 2s;
    int activeChanged = 0;
    QObject::connect(&sim, &WindowSystem::activeWindowChanged, [&] { ++activeChanged; });
    const LaunchOutcome outcome = run(sim.openApplication(app.installedApp(), true));
    ASSERT_TRUE(outcome.app);
    EXPECT_EQ(clock.now(), 2s);
    EXPECT_FALSE(sim.isTerminated(*outcome.app));
    EXPECT_EQ(app.activations, 1);
    EXPECT_EQ(activeChanged, 0);  // nothing to activate yet

    sim.quit(app);
    EXPECT_TRUE(sim.isTerminated(*outcome.app));
    EXPECT_FALSE(run(sim.openApplication({"org.example.None", "None", {}, {}}, false)).app);
}

TEST_F(SimWindowSystemTest, GrabsTakeOnlyTheirInputAndEndWithTheirHandle) {
    auto scrollGrab =
        sim.grabOptionScroll([](const ScrollInput&) { return InputDecision::Swallow; });
    auto keyGrab = sim.grabCycleKeys([](const KeyInput&) { return InputDecision::Pass; });
    EXPECT_EQ(sim.liveGrabs(), 2);
    EXPECT_EQ(sim.scroll({0, 1, false, {}, KeyModifiers::option}), InputDecision::Swallow);
    EXPECT_EQ(sim.scroll({0, 1, false, {}, 0}), std::nullopt);
    const quint32 superAlt = KeyModifiers::control | KeyModifiers::option;
    EXPECT_EQ(sim.pressKey({KeyCodes::leftArrow, superAlt | KeyModifiers::shift}),
              InputDecision::Pass);
    EXPECT_EQ(sim.pressKey({KeyCodes::leftArrow, KeyModifiers::option}), std::nullopt);
    EXPECT_EQ(sim.pressKey({KeyCodes::escape, superAlt}), std::nullopt);

    scrollGrab.reset();
    EXPECT_EQ(sim.scroll({0, 1, false, {}, KeyModifiers::option}), std::nullopt);
    sim.setRefuseGrabs(true);
    EXPECT_EQ(sim.grabOptionScroll([](const ScrollInput&) { return InputDecision::Pass; }),
              nullptr);
    EXPECT_EQ(sim.liveGrabs(), 1);
}
