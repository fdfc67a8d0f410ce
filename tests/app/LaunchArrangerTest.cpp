// The real arranger on the simulated desktop.
#include "app/LaunchArranger.h"

#include "arrange/StackIndicator.h"
#include "core/Task.h"
#include "tests/arrange/SimDesktopFixture.h"
#include "workspace/WindowLayout.h"

namespace tessora {
namespace {

using namespace std::chrono_literals;

class ArrangerTest : public SimDesktopFixture {
protected:
    ArrangerTest() { sim.setScreens({{1, {0, 0, 1000, 800}, {0, 0, 1000, 800}}}); }

    QStringList arrange(const char* layout, const InstalledApps& apps, bool indicators = false) {
        auto stopped = start(arranger.arrange(*layoutWithID(layout), apps, {0, 0, 1000, 800},
                                              indicators ? 24 : 0, indicators));
        clock.runUntil([&] { return stopped.done(); }, 1min);
        return stopped.result();
    }

    WindowStackIndicator indicator{sim, clock, [] { return nullptr; }};
    LaunchArranger arranger{sim, clock, &indicator};
};

TEST_F(ArrangerTest, FiveApplicationsOnMirrorStackInTheRightHalf) {
    InstalledApps apps;
    QList<WindowId> windows;
    for (int i = 0; i < 5; ++i) {
        SimApp& app = sim.addApp(QStringLiteral("app%1").arg(i), QStringLiteral("App %1").arg(i));
        windows << sim.addWindow(app, {10.0 * i, 10, 300, 200});
        apps << app.installedApp();
    }
    EXPECT_TRUE(arrange("mirror", apps, true).isEmpty());
    EXPECT_EQ(sim.frame(windows[0]), (WindowRect{0, 0, 488, 800}));
    for (int i = 1; i < 5; ++i) {
        EXPECT_EQ(sim.frame(windows[i]), (WindowRect{512, 0, 488, 800})) << i;
    }
    EXPECT_TRUE(indicator.exists());
    EXPECT_EQ(indicator.liveWindows().size(), 4);
}

// A launched application shows its window only after several polls: it is placed, and the
// waiting never launches it again.
TEST_F(ArrangerTest, ASlowStarterIsLaunchedOnceAndPlaced) {
    SimApp& slow = sim.addInstalledApp("slow", "Slow");
    sim.opensWindowOnLaunch(slow, {100, 100, 300, 200}, 3s);
    SimApp& ready = sim.addApp("ready", "Ready");
    const WindowId readyWindow = sim.addWindow(ready, {0, 0, 300, 200});
    EXPECT_TRUE(arrange("mirror", {ready.installedApp(), slow.installedApp()}).isEmpty());
    ASSERT_EQ(sim.windowsOf(slow).size(), 1);
    EXPECT_EQ(slow.launches, 1);
    EXPECT_EQ(sim.frame(readyWindow), (WindowRect{0, 0, 500, 800}));
    EXPECT_EQ(sim.frame(sim.windowsOf(slow).first()), (WindowRect{500, 0, 500, 800}));
}

TEST_F(ArrangerTest, OpenReportsApplicationsThatCannotBeOpened) {
    SimApp& broken = sim.addInstalledApp("broken", "Broken");
    broken.launchError = "no such file";
    SimApp& fine = sim.addInstalledApp("fine", "Fine");
    auto opened = start(arranger.open({broken.installedApp(), fine.installedApp()}));
    clock.runUntil([&] { return opened.done(); }, 1min);
    EXPECT_EQ(opened.result(), QStringList({"Broken: could not open (no such file)."}));
    EXPECT_EQ(fine.openCalls, 1);
}

}  // namespace
}  // namespace tessora
