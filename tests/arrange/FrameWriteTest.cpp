#include "arrange/WindowAccess.h"
#include "tests/arrange/SimDesktopFixture.h"

#include <cmath>

using namespace std::chrono_literals;
using namespace tessora;
using namespace tessora::windows;

namespace {

class FrameWriteTest : public SimDesktopFixture {
protected:
    std::optional<WindowRect> write(WindowId id, WindowRect to, std::stop_token stop = {}) {
        return run(setWindowFrame(sim, clock, id, to, std::move(stop)));
    }
    SimApp& editor = sim.addApp("org.example.Editor", "Editor");
    const WindowId w = sim.addWindow(editor, {0, 0, 800, 600});
    const WindowRect target{100, 50, 600, 400};
};

}  // namespace

TEST_F(FrameWriteTest, AWindowAlreadyThereIsNotWritten) {
    const WindowRect near{105.9, 44.1, 605.9, 394.1};
    sim.window(w).frame = near;
    EXPECT_EQ(write(w, target), near);
    EXPECT_EQ(sim.window(w).frameWrites, 0);
    EXPECT_EQ(clock.now(), 0ms);
}

TEST_F(FrameWriteTest, AnAcceptedFrameIsWrittenTwiceAndReadBackOnce) {
    EXPECT_EQ(write(w, target), target);
    EXPECT_EQ(sim.window(w).frameWrites, 2);
    EXPECT_EQ(sim.window(w).frameReads, 2);  // the check first, then one read-back
    EXPECT_EQ(clock.now(), 120ms);
}

TEST_F(FrameWriteTest, AWindowThatRefusesToShrinkEndsAfterThreeAttemptsWithItsRealSize) {
    sim.setMinimumSize(w, {900, 0});
    EXPECT_EQ(write(w, target), (WindowRect{100, 50, 900, 400}));
    EXPECT_EQ(sim.window(w).frameWrites, 6);
    EXPECT_EQ(clock.now(), 360ms);
}

TEST_F(FrameWriteTest, ALateSettlingFrameIsConfirmedByTheNextAttempt) {
    sim.setSettleDelay(w, 200ms);  // the first read-back still shows the old frame
    EXPECT_EQ(write(w, target), target);
    EXPECT_EQ(sim.window(w).frameWrites, 4);
    EXPECT_EQ(clock.now(), 240ms);
}

TEST_F(FrameWriteTest, StoppedOrClosedWindowsYieldNoFrame) {
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(write(w, target, stop.get_token()), std::nullopt);
    EXPECT_EQ(write(w, {0, 0, std::nan(""), 10}), std::nullopt);
    EXPECT_EQ(sim.window(w).frameWrites, 0);

    sim.onNextWrite(w, [&] { sim.closeWindow(w); });
    EXPECT_EQ(write(w, target), std::nullopt);
}

TEST_F(FrameWriteTest, ColumnsAreSizedInsideTheAreaThenMovedOutAndRaisedInOrder) {
    const WindowId moved = sim.addWindow(editor, {0, 0, 500, 800});
    const WindowRect area{0, 0, 1000, 800};
    const QList<ColumnPlacement> items{{w, {1800, 0, 600, 800}, true},
                                       {moved, {600, 0, 500, 800}, false}};
    run(applyColumnPlacements(sim, clock, items, area, {moved, w}, {}));

    EXPECT_EQ(sim.window(w).requestedFrames.first(), (WindowRect{400, 0, 600, 800}));
    EXPECT_EQ(sim.window(w).frame, (WindowRect{1800, 0, 600, 800}));
    EXPECT_EQ(sim.window(moved).frame, (WindowRect{600, 0, 500, 800}));
    EXPECT_EQ(sim.window(moved).frameWrites, 0);
    EXPECT_EQ(sim.raiseLog(), (QList<WindowId>{moved, w}));
}

TEST_F(FrameWriteTest, LivenessAndMinimumWidthsKeepTheOrderOfTheWindows) {
    const WindowId closed = sim.addWindow(editor, {0, 0, 800, 600});
    sim.closeWindow(closed);
    EXPECT_EQ(run(windowsAliveFlags(sim, {w, closed, 4242})), (QList<bool>{true, false, false}));

    const WindowId free = sim.addWindow(editor, {0, 0, 800, 600});
    sim.setMinimumSize(w, {700, 0});
    const QList<WindowRect> origins{{10, 20, 1, 1}};
    EXPECT_EQ(run(measureMinimumWidths(sim, clock, {w, free}, origins, 400, 500, {})),
              (QList<double>{700, 400}));
    EXPECT_EQ(clock.now(), 360ms);  // probed at once: the slower one decides
    EXPECT_EQ(sim.window(free).frame, (WindowRect{0, 0, 400, 500}));
    EXPECT_EQ(sim.window(w).frame, (WindowRect{10, 20, 700, 500}));
}
