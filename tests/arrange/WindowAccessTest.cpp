// Finding, waiting for and writing the windows of other applications, on the simulated desktop.
#include "arrange/WindowAccess.h"
#include "tests/arrange/SimDesktopFixture.h"

#include <cmath>

using namespace std::chrono_literals;
using namespace tessora;
using namespace tessora::windows;

namespace {

class WindowAccessTest : public SimDesktopFixture {
protected:
    QList<WindowId> standard() { return standardWindows(sim, running(editor)); }
    QList<WindowId> waitFor(const SimApp& app) {
        return run(waitForWindows(sim, clock, app.installedApp(), {}));
    }
    std::optional<WindowRect> write(WindowId id, WindowRect to, std::stop_token stop = {}) {
        return run(setWindowFrame(sim, clock, id, to, std::move(stop)));
    }

    SimApp& editor = sim.addApp("org.example.Editor", "Editor");
    const WindowRect frame{0, 0, 800, 600};
    const WindowRect target{100, 50, 600, 400};
};

}  // namespace

TEST_F(WindowAccessTest, FocusedWindowComesFirstAndEachWindowOnce) {
    const WindowId a = sim.addWindow(editor, frame);
    const WindowId b = sim.addWindow(editor, {100, 0, 800, 600});
    const WindowId c = sim.addWindow(editor, {200, 0, 800, 600});
    sim.setActiveWindow(c);
    EXPECT_EQ(standard(), (QList<WindowId>{c, a, b}));
    sim.overrideWindowList(editor, QList<WindowId>{a, b, a, c, b});
    EXPECT_EQ(standard(), (QList<WindowId>{c, a, b}));
    sim.overrideWindowList(editor, std::nullopt);  // a failed list read: still the focused one
    EXPECT_EQ(standard(), QList<WindowId>{c});
}

TEST_F(WindowAccessTest, OnlyStandardVisibleWindowsOfThisDesktopCount) {
    sim.window(sim.addWindow(editor, {30, 0, 800, 600})).desktop = 1;
    EXPECT_TRUE(standard().isEmpty());  // nothing on screen: no window is read at all
    EXPECT_EQ(editor.windowListReads, 0);
    EXPECT_EQ(sim.windowReads(), 0);

    const WindowId plain = sim.addWindow(editor, frame);
    sim.addWindow(editor, {10, 10, 300, 200}, SimWindowKind::Dialog);
    sim.window(sim.addWindow(editor, {20, 0, 800, 600})).minimized = true;
    sim.window(sim.addWindow(editor, {0, 0, 1920, 1080})).fullScreen = true;
    sim.window(sim.addWindow(editor, {40, 0, 800, 600})).readable = false;
    sim.addWindow(sim.addApp("org.example.Other", "Other"), {50, 0, 800, 600});
    EXPECT_EQ(standard(), QList<WindowId>{plain});
    EXPECT_EQ(sim.window(plain).frameReads, 1);
}

TEST_F(WindowAccessTest, ListedFrameMustMatchWithinStrictlyLessThanSixPoints) {
    const WindowId w = sim.addWindow(editor, {100, 100, 800, 600});
    sim.window(w).listedFrame = WindowRect{105.9, 94.1, 805.9, 594.1};
    EXPECT_EQ(standard(), QList<WindowId>{w});
    for (const WindowRect& off : {WindowRect{106, 100, 800, 600}, WindowRect{100, 94, 800, 600},
                                  WindowRect{100, 100, 806, 600}, WindowRect{100, 100, 800, 594}}) {
        sim.window(w).listedFrame = off;
        EXPECT_TRUE(standard().isEmpty());
        EXPECT_FALSE(framesApproximatelyEqual(off, sim.window(w).frame));
    }
}

TEST_F(WindowAccessTest, OnScreenEntriesMatchByApplicationIdOrKnownPid) {
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

TEST_F(WindowAccessTest, WindowsForAppFallsBackToWhatTheWaitFound) {
    const WindowId w = sim.addWindow(editor, frame);
    const InstalledApp app = editor.installedApp();
    const WindowsByApp fallback{{editor.id, {w}}};
    const WindowHandles expected{{app, w}};
    EXPECT_EQ(windowsForApp(sim, app, {}), expected);
    EXPECT_TRUE(isWindowOnThisDesktop(sim, w, app));

    sim.window(w).desktop = 1;
    EXPECT_TRUE(windowsForApp(sim, app, {}).isEmpty());
    EXPECT_EQ(windowsForApp(sim, app, fallback), expected);
    EXPECT_FALSE(isWindowOnThisDesktop(sim, w, app));

    sim.window(w).desktop = 0;
    sim.quit(editor);
    EXPECT_TRUE(windowsForApp(sim, app, fallback).isEmpty());
    EXPECT_FALSE(isWindowOnThisDesktop(sim, w, app));
}

// Polls 0.3 s apart; a list is taken once two polls agree.
TEST_F(WindowAccessTest, WaitLaunchesWithoutActivatingAndTakesTheListOnceTwoPollsAgree) {
    auto& fresh = sim.addInstalledApp("org.example.Fresh", "Fresh");
    fresh.launchDelay = 100ms;
    sim.opensWindowOnLaunch(fresh, frame, 400ms);  // at 0.5 s; polls at 0.1, 0.4, 0.7, 1.0
    const QList<WindowId> found = waitFor(fresh);
    EXPECT_EQ(found.size(), 1);
    EXPECT_EQ(found, sim.windowsOf(fresh));
    EXPECT_EQ(clock.now(), 1000ms);
    EXPECT_EQ(fresh.openCalls, 1);
    EXPECT_EQ(fresh.activations, 0);

    const WindowId first = sim.addWindow(editor, frame);
    const WindowId second = sim.addWindowLater(editor, frame, 200ms);
    EXPECT_EQ(waitFor(editor), (QList<WindowId>{first, second}));
    EXPECT_EQ(clock.now(), 1600ms);  // polls 0 [first], 1 [first, second], 2 agrees
    EXPECT_EQ(editor.openCalls, 0);
}

TEST_F(WindowAccessTest, WaitReopensAWindowlessApplicationOnceAtPollThree) {
    sim.opensWindowOnLaunch(editor, frame);
    EXPECT_EQ(waitFor(editor).size(), 1);
    EXPECT_EQ(editor.openCalls, 1);
    EXPECT_EQ(clock.now(), 1500ms);  // reopened at 0.9 s, agreed at polls 4 and 5
}

// An application that takes longer than the reopen poll to show its first window is still
// starting up then: the reopen must not launch it a second time. Once its window has shown,
// a later wait that finds it without windows asks it again.
TEST_F(WindowAccessTest, ASlowStarterIsLaunchedOnceUntilItsFirstWindowShows) {
    auto& slow = sim.addInstalledApp("org.example.Slow", "Slow");
    sim.opensWindowOnLaunch(slow, frame, 2500ms);  // well after the reopen at 0.9 s
    const QList<WindowId> found = waitFor(slow);
    EXPECT_EQ(found.size(), 1);
    EXPECT_EQ(sim.windowsOf(slow), found);
    EXPECT_EQ(slow.launches, 1);
    EXPECT_EQ(clock.now(), 3000ms);  // shown at 2.5 s, agreed at polls 9 and 10

    sim.closeWindow(found.first());
    const QList<WindowId> again = waitFor(slow);
    EXPECT_EQ(slow.launches, 2);  // reopened at poll 3: no launch of it is starting any more
    EXPECT_EQ(again, sim.windowsOf(slow));
    EXPECT_EQ(again.size(), 1);
}

TEST_F(WindowAccessTest, WaitGivesUpAfterFiftyPollsOrWhenOnlyOtherWindowsShow) {
    editor.launchError = "the reopen fails, and the wait goes on";
    EXPECT_TRUE(waitFor(editor).isEmpty());
    EXPECT_EQ(clock.now(), 15s);
    EXPECT_EQ(editor.openCalls, 1);

    auto& palette = sim.addApp("org.example.Palette", "Palette");
    sim.addWindow(palette, frame, SimWindowKind::Dialog);
    EXPECT_TRUE(waitFor(palette).isEmpty());
    EXPECT_EQ(clock.now(), 16500ms);  // at poll 5
}

TEST_F(WindowAccessTest, WaitEndsEmptyWhenStoppedTerminatedOrNotLaunched) {
    std::stop_source stop;
    auto waiting = start(waitForWindows(sim, clock, editor.installedApp(), stop.get_token()));
    clock.advance(1s);
    stop.request_stop();
    clock.runNext();
    ASSERT_TRUE(waiting.done());
    EXPECT_TRUE(waiting.result().isEmpty());
    EXPECT_EQ(clock.now(), 1s);

    clock.schedule(1s, [&] { sim.quit(editor); });
    EXPECT_TRUE(waitFor(editor).isEmpty());
    EXPECT_EQ(clock.now(), 2200ms);  // noticed at the next poll

    auto& broken = sim.addInstalledApp("org.example.Broken", "Broken");
    broken.launchError = "No such file";
    EXPECT_TRUE(waitFor(broken).isEmpty());
    EXPECT_EQ(clock.now(), 2200ms);
    EXPECT_EQ(sim.openRequests("org.example.Broken"), 1);
}

// Each attempt writes twice and reads back 0.12 s later; at most three attempts.
TEST_F(WindowAccessTest, AWindowAlreadyThereIsNotWritten) {
    const WindowId w = sim.addWindow(editor, {105.9, 44.1, 605.9, 394.1});
    EXPECT_EQ(write(w, target), (WindowRect{105.9, 44.1, 605.9, 394.1}));
    EXPECT_EQ(sim.window(w).frameWrites, 0);
    EXPECT_EQ(clock.now(), 0ms);
}

TEST_F(WindowAccessTest, AnAcceptedFrameIsWrittenTwiceAndReadBackOnce) {
    const WindowId w = sim.addWindow(editor, frame);
    EXPECT_EQ(write(w, target), target);
    EXPECT_EQ(sim.window(w).frameWrites, 2);
    EXPECT_EQ(sim.window(w).frameReads, 2);  // the check first, then one read-back
    EXPECT_EQ(clock.now(), 120ms);
}

TEST_F(WindowAccessTest, AWindowThatRefusesToShrinkEndsAfterThreeAttemptsWithItsRealSize) {
    const WindowId w = sim.addWindow(editor, frame);
    sim.setMinimumSize(w, {900, 0});
    EXPECT_EQ(write(w, target), (WindowRect{100, 50, 900, 400}));
    EXPECT_EQ(sim.window(w).frameWrites, 6);
    EXPECT_EQ(clock.now(), 360ms);
}

TEST_F(WindowAccessTest, ALateSettlingFrameIsConfirmedByTheNextAttempt) {
    const WindowId w = sim.addWindow(editor, frame);
    sim.setSettleDelay(w, 200ms);  // the first read-back still shows the old frame
    EXPECT_EQ(write(w, target), target);
    EXPECT_EQ(sim.window(w).frameWrites, 4);
    EXPECT_EQ(clock.now(), 240ms);
}

TEST_F(WindowAccessTest, StoppedOrClosedWindowsYieldNoFrame) {
    const WindowId w = sim.addWindow(editor, frame);
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(write(w, target, stop.get_token()), std::nullopt);
    EXPECT_EQ(write(w, {0, 0, std::nan(""), 10}), std::nullopt);
    EXPECT_EQ(sim.window(w).frameWrites, 0);
    sim.onNextWrite(w, [&] { sim.closeWindow(w); });
    EXPECT_EQ(write(w, target), std::nullopt);
    EXPECT_FALSE(isWindowAlive(sim, w));
    EXPECT_FALSE(isWindowAlive(sim, 0));
}

TEST_F(WindowAccessTest, ColumnsAreSizedInsideTheAreaThenMovedOutAndRaisedInOrder) {
    const WindowId w = sim.addWindow(editor, frame);
    const WindowId moved = sim.addWindow(editor, {0, 0, 500, 800});
    const QList<ColumnPlacement> items{{w, {1800, 0, 600, 800}, true},
                                       {moved, {600, 0, 500, 800}, false}};
    QSet<WindowId> minimized;
    run(applyColumnPlacements(sim, clock, items, {0, 0, 1000, 800}, {moved, w}, minimized, {}));
    EXPECT_EQ(sim.window(w).requestedFrames.first(), (WindowRect{400, 0, 600, 800}));
    EXPECT_EQ(sim.window(w).frame, (WindowRect{1800, 0, 600, 800}));
    EXPECT_EQ(sim.window(moved).frame, (WindowRect{600, 0, 500, 800}));
    EXPECT_EQ(sim.window(moved).frameWrites, 0);
    EXPECT_EQ(sim.raiseLog(), (QList<WindowId>{moved, w}));
    EXPECT_TRUE(minimized.isEmpty());
}

// Columns out of view are minimized once and come back before they are placed; the record of
// what was minimized follows every request, also of a placement stopped halfway.
TEST_F(WindowAccessTest, HiddenColumnsAreMinimizedOnceAndRestoredBeforeTheyArePlaced) {
    const WindowId a = sim.addWindow(editor, frame);
    const WindowId b = sim.addWindow(editor, frame);
    QSet<WindowId> minimized;
    ColumnPlacement hideA{a, {0, 0, 500, 800}, false};
    hideA.hidden = true;
    run(applyColumnPlacements(sim, clock, {hideA, {b, {0, 0, 500, 800}, false, true}},
                              {0, 0, 1000, 800}, {}, minimized, {}));
    EXPECT_TRUE(sim.window(a).minimized);
    EXPECT_EQ(sim.window(b).frame, (WindowRect{0, 0, 500, 800}));  // the whole frame, unverified
    EXPECT_EQ(minimized, QSet<WindowId>{a});
    run(applyColumnPlacements(sim, clock, {hideA}, {0, 0, 1000, 800}, {}, minimized, {}));
    EXPECT_EQ(sim.window(a).minimizeRequests, 1);

    std::stop_source stopped;
    stopped.request_stop();
    run(applyColumnPlacements(sim, clock, {{a, {500, 0, 500, 800}, false}}, {0, 0, 1000, 800}, {},
                              minimized, stopped.get_token()));
    EXPECT_EQ(minimized, QSet<WindowId>{a});  // nothing was sent
    run(applyColumnPlacements(sim, clock, {{a, {500, 0, 500, 800}, false}}, {0, 0, 1000, 800}, {},
                              minimized, {}));
    EXPECT_FALSE(sim.window(a).minimized);
    EXPECT_EQ(sim.window(a).frame, (WindowRect{500, 0, frame.width, frame.height}));  // moved
    EXPECT_TRUE(minimized.isEmpty());
}

TEST_F(WindowAccessTest, LivenessAndMinimumWidthsKeepTheOrderOfTheWindows) {
    const WindowId w = sim.addWindow(editor, frame);
    const WindowId closed = sim.addWindow(editor, frame);
    sim.closeWindow(closed);
    EXPECT_EQ(run(windowsAliveFlags(sim, {w, closed, 4242})), (QList<bool>{true, false, false}));

    const WindowId free = sim.addWindow(editor, frame);
    sim.setMinimumSize(w, {700, 0});
    const QList<WindowRect> origins{{10, 20, 1, 1}};
    EXPECT_EQ(run(measureMinimumWidths(sim, clock, {w, free}, origins, 400, 500, {})),
              (QList<double>{700, 400}));
    EXPECT_EQ(clock.now(), 360ms);  // probed at once: the slower one decides
    EXPECT_EQ(sim.window(free).frame, (WindowRect{0, 0, 400, 500}));
    EXPECT_EQ(sim.window(w).frame, (WindowRect{10, 20, 700, 500}));
}
