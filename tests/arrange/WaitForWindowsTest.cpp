#include "arrange/WindowAccess.h"
#include "tests/arrange/SimDesktopFixture.h"

using namespace std::chrono_literals;
using namespace tessora;
using namespace tessora::windows;

namespace {

class WaitForWindowsTest : public SimDesktopFixture {
protected:
    Task<QList<WindowId>> waitFor(const SimApp& app, std::stop_token stop = {}) {
        return waitForWindows(sim, clock, app.installedApp(), std::move(stop));
    }
    const WindowRect frame{0, 0, 800, 600};
};

}  // namespace

TEST_F(WaitForWindowsTest, LaunchesWithoutActivatingAndTakesTheListOnceTwoPollsAgree) {
    auto& editor = sim.addInstalledApp("org.example.Editor", "Editor");
    editor.launchDelay = 100ms;
    sim.opensWindowOnLaunch(editor, frame, 400ms);  // at 0.5 s; polls at 0.1, 0.4, 0.7, 1.0

    const QList<WindowId> found = run(waitFor(editor));
    EXPECT_EQ(found.size(), 1);
    EXPECT_EQ(found, sim.windowsOf(editor));
    EXPECT_EQ(clock.now(), 1000ms);
    EXPECT_EQ(editor.openCalls, 1);
    EXPECT_EQ(editor.activations, 0);
}

TEST_F(WaitForWindowsTest, ASecondWindowRestartsTheAgreement) {
    auto& editor = sim.addApp("org.example.Editor", "Editor");
    const WindowId first = sim.addWindow(editor, frame);
    const WindowId second = sim.addWindowLater(editor, frame, 200ms);

    EXPECT_EQ(run(waitFor(editor)), (QList<WindowId>{first, second}));
    EXPECT_EQ(clock.now(), 600ms);  // polls 0 [first], 1 [first, second], 2 agrees
    EXPECT_EQ(editor.openCalls, 0);
}

TEST_F(WaitForWindowsTest, RunningApplicationWithoutWindowsIsReopenedOnceAtPollThree) {
    auto& editor = sim.addApp("org.example.Editor", "Editor");
    sim.opensWindowOnLaunch(editor, frame);

    EXPECT_EQ(run(waitFor(editor)).size(), 1);
    EXPECT_EQ(editor.openCalls, 1);
    EXPECT_EQ(clock.now(), 1500ms);  // reopened at 0.9 s, agreed at polls 4 and 5
}

TEST_F(WaitForWindowsTest, GivesUpAfterFiftyPollsOrWhenOnlyOtherWindowsShow) {
    auto& idle = sim.addApp("org.example.Idle", "Idle");
    idle.launchError = "the reopen fails, and the wait goes on";
    EXPECT_TRUE(run(waitFor(idle)).isEmpty());
    EXPECT_EQ(clock.now(), 15s);
    EXPECT_EQ(idle.openCalls, 1);

    auto& palette = sim.addApp("org.example.Palette", "Palette");
    sim.addWindow(palette, frame, SimWindowKind::Dialog);
    const auto started = clock.now();
    EXPECT_TRUE(run(waitFor(palette)).isEmpty());
    EXPECT_EQ(clock.now() - started, 1500ms);  // at poll 5
}

TEST_F(WaitForWindowsTest, EndsEmptyWhenStoppedTerminatedOrNotLaunched) {
    auto& editor = sim.addApp("org.example.Editor", "Editor");
    std::stop_source stop;
    auto waiting = start(waitFor(editor, stop.get_token()));
    clock.advance(1s);
    stop.request_stop();
    clock.runNext();
    ASSERT_TRUE(waiting.done());
    EXPECT_TRUE(waiting.result().isEmpty());
    EXPECT_EQ(clock.now(), 1s);

    const auto quitAt = clock.now() + 1s;
    clock.schedule(1s, [&] { sim.quit(editor); });
    EXPECT_TRUE(run(waitFor(editor)).isEmpty());
    EXPECT_EQ(clock.now(), quitAt + 200ms);  // noticed at the next poll

    auto& broken = sim.addInstalledApp("org.example.Broken", "Broken");
    broken.launchError = "No such file";
    const auto started = clock.now();
    EXPECT_TRUE(run(waitFor(broken)).isEmpty());
    EXPECT_EQ(clock.now(), started);
    EXPECT_EQ(sim.openRequests("org.example.Broken"), 1);
}
