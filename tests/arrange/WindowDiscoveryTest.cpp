#include "arrange/WindowAccess.h"
#include "tests/arrange/SimDesktopFixture.h"

using namespace tessora;
using namespace tessora::windows;

namespace {

class WindowDiscoveryTest : public SimDesktopFixture {
protected:
    SimApp& editor = sim.addApp("org.example.Editor", "Editor");
};

}  // namespace

TEST_F(WindowDiscoveryTest, FocusedWindowComesFirstAndEachWindowOnce) {
    const WindowId a = sim.addWindow(editor, {0, 0, 800, 600});
    const WindowId b = sim.addWindow(editor, {100, 0, 800, 600});
    const WindowId c = sim.addWindow(editor, {200, 0, 800, 600});
    sim.setActiveWindow(c);
    EXPECT_EQ(standardWindows(sim, running(editor)), (QList<WindowId>{c, a, b}));

    sim.overrideWindowList(editor, QList<WindowId>{a, b, a, c, b});
    EXPECT_EQ(standardWindows(sim, running(editor)), (QList<WindowId>{c, a, b}));

    // A failed list read still yields the focused window.
    sim.overrideWindowList(editor, std::nullopt);
    EXPECT_EQ(standardWindows(sim, running(editor)), QList<WindowId>{c});
}

TEST_F(WindowDiscoveryTest, OnlyStandardVisibleWindowsOfThisDesktopCount) {
    const WindowId plain = sim.addWindow(editor, {0, 0, 800, 600});
    sim.addWindow(editor, {10, 10, 300, 200}, SimWindowKind::Dialog);
    sim.window(sim.addWindow(editor, {20, 0, 800, 600})).minimized = true;
    sim.window(sim.addWindow(editor, {0, 0, 1920, 1080})).fullScreen = true;
    sim.window(sim.addWindow(editor, {30, 0, 800, 600})).desktop = 1;
    sim.window(sim.addWindow(editor, {40, 0, 800, 600})).readable = false;
    auto& other = sim.addApp("org.example.Other", "Other");
    sim.addWindow(other, {50, 0, 800, 600});

    EXPECT_EQ(standardWindows(sim, running(editor)), QList<WindowId>{plain});
    EXPECT_EQ(sim.window(plain).frameReads, 1);
}

TEST_F(WindowDiscoveryTest, ListedFrameMustMatchWithinStrictlyLessThanSixPoints) {
    const WindowId w = sim.addWindow(editor, {100, 100, 800, 600});
    sim.window(w).listedFrame = WindowRect{105.9, 94.1, 805.9, 594.1};
    EXPECT_EQ(standardWindows(sim, running(editor)), QList<WindowId>{w});

    for (const WindowRect& off : {WindowRect{106, 100, 800, 600}, WindowRect{100, 94, 800, 600},
                                  WindowRect{100, 100, 806, 600}, WindowRect{100, 100, 800, 594}}) {
        sim.window(w).listedFrame = off;
        EXPECT_TRUE(standardWindows(sim, running(editor)).isEmpty());
        EXPECT_FALSE(framesApproximatelyEqual(off, sim.window(w).frame));
    }
}

TEST_F(WindowDiscoveryTest, NothingOnScreenIsAnsweredWithoutReadingWindows) {
    sim.window(sim.addWindow(editor, {0, 0, 800, 600})).desktop = 1;
    EXPECT_TRUE(standardWindows(sim, running(editor)).isEmpty());
    EXPECT_EQ(editor.windowListReads, 0);
    EXPECT_EQ(sim.windowReads(), 0);
}

TEST_F(WindowDiscoveryTest, OnScreenEntriesMatchByApplicationIdOrKnownPid) {
    const WindowId byId = sim.addWindow(editor, {0, 0, 100, 100});
    sim.window(byId).listsPid = false;
    const WindowId byPid = sim.addWindow(editor, {0, 0, 200, 200});
    sim.window(byPid).matchedToApp = false;
    const WindowId neither = sim.addWindow(editor, {0, 0, 300, 300});
    sim.window(neither).listsPid = false;
    sim.window(neither).matchedToApp = false;
    sim.addWindow(editor, {0, 0, 400, 400}, SimWindowKind::Dock);

    const QList<WindowRect> expected{sim.window(byPid).frame, sim.window(byId).frame};
    EXPECT_EQ(onScreenWindowBounds(sim, running(editor)), expected);  // front to back

    RunningApplication pidUnknown = running(editor);
    pidUnknown.pid = 0;  // an unknown pid matches no pid-less entry
    EXPECT_EQ(onScreenWindowBounds(sim, pidUnknown), QList<WindowRect>{sim.window(byId).frame});
}

TEST_F(WindowDiscoveryTest, WindowsForAppFallsBackToWhatTheWaitFound) {
    const WindowId w = sim.addWindow(editor, {0, 0, 800, 600});
    const WindowsByApp fallback{{editor.id, {w}}};
    const WindowHandles expected{{editor.installedApp(), w}};
    EXPECT_EQ(windowsForApp(sim, editor.installedApp(), {}), expected);

    sim.window(w).desktop = 1;
    EXPECT_TRUE(windowsForApp(sim, editor.installedApp(), {}).isEmpty());
    EXPECT_EQ(windowsForApp(sim, editor.installedApp(), fallback), expected);

    sim.quit(editor);
    EXPECT_TRUE(windowsForApp(sim, editor.installedApp(), fallback).isEmpty());
}

TEST_F(WindowDiscoveryTest, OnThisDesktopUntilMovedMinimizedClosedOrQuit) {
    const WindowId w = sim.addWindow(editor, {0, 0, 800, 600});
    const InstalledApp app = editor.installedApp();
    EXPECT_TRUE(isWindowOnThisDesktop(sim, w, app));
    EXPECT_TRUE(isWindowAlive(sim, w));

    sim.setCurrentDesktop(2);
    EXPECT_FALSE(isWindowOnThisDesktop(sim, w, app));
    sim.setCurrentDesktop(0);
    sim.window(w).minimized = true;
    EXPECT_FALSE(isWindowOnThisDesktop(sim, w, app));
    sim.window(w).minimized = false;
    sim.setActiveWindow(std::nullopt);
    focusWindow(sim, app, w);
    EXPECT_EQ(sim.frontmostApplicationId(), editor.id);
    EXPECT_EQ(sim.window(w).focuses, 1);

    sim.closeWindow(w);
    EXPECT_FALSE(isWindowOnThisDesktop(sim, w, app));
    EXPECT_FALSE(isWindowAlive(sim, w));
    EXPECT_FALSE(isWindowAlive(sim, 0));
}
