#include "tests/chain/RibbonSessionFixture.h"

namespace tessora {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;

TEST_F(RibbonSessionTest, OneWindowTakesTheWholeAreaWithoutASession) {
    addWindows(1);
    run(startSession());
    EXPECT_THAT(win(0).frame, FrameNear(area));
    EXPECT_THAT(sim.raiseLog(), ElementsAre(ids[0]));
    EXPECT_TRUE(session.windows().isEmpty());
    EXPECT_FALSE(session.isMonitoring());
    EXPECT_EQ(panel.alive, 0);
}

TEST_F(RibbonSessionTest, TwoWindowsThatFitGetNoPanelAndAreRaisedLeftFirst) {
    startWith(2);
    EXPECT_EQ(session.strip().itemOffsets, (QList<double>{0, 732}));
    EXPECT_THAT(win(0).frame, FrameNear(WindowRect{0, 0, 708, 900}));
    EXPECT_THAT(win(1).frame, FrameNear(WindowRect{732, 0, 708, 900}));
    EXPECT_THAT(sim.raiseLog(), ElementsAre(ids[0], ids[1]));
    EXPECT_FALSE(session.hasPanel());
    EXPECT_FALSE(session.hasScrollTap());
    EXPECT_EQ(panel.alive, 0);
    EXPECT_TRUE(session.isMonitoring());
}

TEST_F(RibbonSessionTest, FirstPassSizesEveryColumnAndParksTheThirdOutside) {
    addWindows(3);
    run(startSession());
    EXPECT_TRUE(session.hasPanel());
    EXPECT_TRUE(session.hasScrollTap());
    EXPECT_EQ(panel.frame, (WindowRect{720 - 22, 0, 44, 16}));
    EXPECT_EQ(panel.dots.names, (QStringList{"App 0", "App 1", "App 2"}));
    settle();

    // Sized inside the viewport, then moved out to its column.
    EXPECT_THAT(win(2).requestedFrames.last(), FrameNear(WindowRect{732, 0, 708, 900}));
    EXPECT_THAT(win(2).frame, FrameNear(WindowRect{1464, 0, 708, 900}));
    EXPECT_THAT(sim.raiseLog(), ElementsAre(ids[0], ids[1]));
    EXPECT_EQ(session.strip().fullyVisible, (QSet<int>{0, 1}));
    EXPECT_FALSE(session.resizePending());
    EXPECT_FALSE(session.windowOrderPending());
}

TEST_F(RibbonSessionTest, RequestsDuringAPassAreCoalescedIntoOneMore) {
    addWindows(3);
    run(startSession());
    ASSERT_TRUE(session.isRendering());  // the first pass waits on its frame writes
    const int movesBefore = win(2).positionWrites;
    for (int i = 0; i < 10; ++i) {
        session.requestRender(false, false);
    }
    settle();
    // The first pass's move out to the column, and one pass for all ten requests.
    EXPECT_EQ(win(2).positionWrites, movesBefore + 2);
}

TEST_F(RibbonSessionTest, ScrollingEasesOutOver21FramesAndSizesOnlyColumnsComingIntoView) {
    startWith(3);
    const int firstSizes = win(0).frameWrites;
    const int raisesBefore = static_cast<int>(sim.raiseLog().size());
    const Clock::TimePoint begin = clock.now();

    session.scrollTo(732);
    EXPECT_DOUBLE_EQ(session.strip().offset, 732 * 0.28);
    EXPECT_EQ(session.strip().activeIndex, 1);
    EXPECT_EQ(panel.dots.activeIndex, 1);
    clock.advance(200ms);
    EXPECT_TRUE(session.isAnimating());
    EXPECT_EQ(sim.raiseLog().size(), raisesBefore);  // nothing is raised while moving
    ASSERT_TRUE(clock.runUntil([&] { return !session.isAnimating(); }, 2s));
    EXPECT_EQ(clock.now() - begin, 21 * RibbonLayoutSession::renderFrame);
    EXPECT_EQ(session.strip().offset, 732);
    settle();

    EXPECT_EQ(win(0).frameWrites, firstSizes);  // leaving the view: moved only
    EXPECT_GT(win(2).frameWrites, 0);
    EXPECT_THAT(win(0).frame, FrameNear(WindowRect{-732, 0, 708, 900}));
    EXPECT_THAT(win(2).frame, FrameNear(WindowRect{732, 0, 708, 900}));
    EXPECT_THAT(sim.raiseLog().mid(raisesBefore), ElementsAre(ids[1], ids[2]));
    EXPECT_EQ(session.strip().fullyVisible, (QSet<int>{1, 2}));

    // Once remembered as fully visible, a column is only moved.
    const int sizes = win(2).frameWrites;
    session.requestRender(false, false);
    settle();
    EXPECT_EQ(win(2).frameWrites, sizes);

    // A request within half a point of the target changes nothing.
    session.scrollTo(732.4);
    EXPECT_FALSE(session.isAnimating());
    EXPECT_EQ(session.strip().targetOffset, 732);
}

TEST_F(RibbonSessionTest, ClosingTheMiddleWindowRebuildsTheStrip) {
    startWith(3);
    session.scrollTo(732);
    settle();
    const int raisesBefore = static_cast<int>(sim.raiseLog().size());

    sim.closeWindow(ids[1]);
    ASSERT_TRUE(clock.runUntil([&] { return session.windows().size() == 2; }, 1s));
    EXPECT_EQ(session.strip().itemOffsets, (QList<double>{0, 732}));
    EXPECT_EQ(session.strip().offset, 0);  // everything fits now
    EXPECT_EQ(session.strip().targetOffset, 0);
    EXPECT_EQ(session.strip().activeIndex, 0);
    EXPECT_EQ(session.originalFrames(), (QList<WindowRect>{originals[0], originals[2]}));
    EXPECT_FALSE(session.hasPanel());
    EXPECT_EQ(panel.alive, 0);
    settle();
    EXPECT_THAT(win(2).frame, FrameNear(WindowRect{732, 0, 708, 900}));
    EXPECT_THAT(sim.raiseLog().mid(raisesBefore), ElementsAre(ids[0], ids[2]));
}

TEST_F(RibbonSessionTest, ClosingTheLastWindowsEndsTheSession) {
    startWith(4);
    session.scrollTo(1464);
    settle();

    // The last column goes: the strip can scroll one column less far.
    sim.closeWindow(ids[3]);
    ASSERT_TRUE(clock.runUntil([&] { return session.windows().size() == 3; }, 1s));
    EXPECT_EQ(session.strip().targetOffset, 732);
    EXPECT_EQ(session.strip().activeIndex, 1);
    EXPECT_TRUE(session.hasPanel());
    EXPECT_EQ(panel.dots.count(), 3);

    const QUuid before = session.sessionID();
    for (int i = 0; i < 3; ++i) {
        sim.closeWindow(ids[i]);
    }
    ASSERT_TRUE(clock.runUntil([&] { return session.windows().isEmpty(); }, 1s));
    EXPECT_NE(session.sessionID(), before);
    EXPECT_FALSE(session.isMonitoring());
    EXPECT_FALSE(session.hasScrollTap());
    EXPECT_EQ(sim.liveGrabs(), 0);
}

// Whoever keeps the session running (the command line) hears of its end however it ends,
// also when the windows went first; ending again afterwards is harmless and says nothing.
TEST_F(RibbonSessionTest, ASessionWhoseWindowsAllCloseEndsAndSaysSo) {
    startWith(3);
    int ended = 0;
    session.setEndedHandler([&] { ++ended; });
    for (int i = 0; i < 3; ++i) {
        sim.closeWindow(ids[i]);
    }
    ASSERT_TRUE(clock.runUntil([&] { return ended > 0; }, 1s));
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(session.isActive());
    EXPECT_FALSE(session.isMonitoring());
    EXPECT_FALSE(session.hasPanel());
    EXPECT_EQ(sim.liveGrabs(), 0);

    session.end();
    EXPECT_EQ(ended, 1);
}

// A window manager that exits and one that takes over after it: meanwhile the window list is
// empty, but the windows are not closed. The strip keeps them, and its end puts them back
// through the new window manager.
TEST_F(RibbonSessionTest, AWindowManagerHandingOverLosesNoWindow) {
    startWith(3);
    session.scrollTo(732);
    settle();
    int ended = 0;
    session.setEndedHandler([&] { ++ended; });

    sim.setWindowManagerRunning(false);
    clock.advance(2s);
    EXPECT_EQ(session.windows().size(), 3);
    EXPECT_TRUE(session.isMonitoring());
    EXPECT_EQ(ended, 0);

    sim.setWindowManagerRunning(true);
    clock.advance(1s);
    EXPECT_EQ(session.windows().size(), 3);
    session.end();
    EXPECT_EQ(ended, 1);
    expectRestored();
}

TEST_F(RibbonSessionTest, EndRestoresEveryWindowAndRemovesThePanel) {
    startWith(3);
    session.scrollTo(732);
    clock.advance(100ms);  // in the middle of the animation

    const QUuid before = session.sessionID();
    session.end();
    expectRestored();
    EXPECT_NE(session.sessionID(), before);
    EXPECT_FALSE(session.hasPanel());
    EXPECT_EQ(panel.alive, 0);
    EXPECT_EQ(sim.liveGrabs(), 0);
    EXPECT_TRUE(session.windows().isEmpty());
    EXPECT_EQ(session.strip().offset, 0);
    EXPECT_EQ(session.strip().activeIndex, 0);

    // Nothing of the ended session moves a window afterwards.
    clock.advance(5s);
    expectRestored();
    EXPECT_FALSE(session.isRendering());
    EXPECT_FALSE(session.isAnimating());
    EXPECT_FALSE(session.isMonitoring());

    session.end();  // harmless without a session
}

TEST_F(RibbonSessionTest, EndWhileMeasuringRestoresAndShowsNoPanel) {
    addWindows(3);
    auto running = start(startSession());
    ASSERT_TRUE(clock.runUntil([&] { return session.windows().size() == 3; }, 5s));
    ASSERT_FALSE(running.done());  // the widths are being measured
    session.end();
    expectRestored();
    const int writes = win(0).frameWrites + win(1).frameWrites + win(2).frameWrites;

    ASSERT_TRUE(clock.runUntil([&] { return running.done(); }, 5s));
    clock.advance(2s);
    EXPECT_FALSE(session.hasPanel());
    EXPECT_EQ(panel.alive, 0);
    EXPECT_FALSE(session.isMonitoring());
    EXPECT_TRUE(session.strip().minimumColumnWidths.isEmpty());
    EXPECT_EQ(win(0).frameWrites + win(1).frameWrites + win(2).frameWrites, writes);
    expectRestored();
}

TEST_F(RibbonSessionTest, AWindowThatWillNotShrinkKeepsItsWidth) {
    addWindows(3);
    sim.setMinimumSize(ids[1], {900, 0});
    run(startSession());
    settle();
    EXPECT_EQ(session.strip().columnWidths, (QList<double>{708, 900, 708}));
    EXPECT_EQ(session.strip().itemOffsets, (QList<double>{0, 732, 1656}));
    EXPECT_THAT(win(1).frame, FrameNear(WindowRect{732, 0, 900, 900}));
}

}  // namespace
}  // namespace tessora
