#include "tests/chain/RibbonSessionFixture.h"

namespace tessora {
namespace {

using namespace std::chrono_literals;

// Four columns starting 0, 732, 1464 and 2196; the strip scrolls up to 1464.
class RibbonScrollingTest : public RibbonSessionTest {
protected:
    void SetUp() override {
        startWith(4);
        ASSERT_EQ(session.maxOffset(), 1464);
    }

    // A gesture of precise steps, 16 ms apart, then the pause that ends it.
    void swipe(QList<double> steps) {
        for (double step : steps) {
            EXPECT_EQ(sim.scroll(altScroll(step, 0, true)), InputDecision::Swallow);
            clock.advance(16ms);
        }
        settle();
    }

    double target() const { return session.strip().targetOffset; }
};

TEST_F(RibbonScrollingTest, FlicksMoveOneColumnSwipesSnapToTheNearestAndTheEndsHold) {
    swipe({-40});
    EXPECT_EQ(target(), 0);
    EXPECT_EQ(session.strip().offset, 0);
    swipe({20, 20});
    EXPECT_EQ(target(), 732);
    EXPECT_EQ(session.strip().offset, 732);
    EXPECT_EQ(session.strip().activeIndex, 1);
    EXPECT_FALSE(session.scrollGestureStartOffset());
    EXPECT_EQ(session.scrollGestureDirection(), 0);
    swipe({-20});
    EXPECT_EQ(target(), 0);

    swipe({400, 400, 200});  // ends at 1000: nearer 732 than 1464
    EXPECT_EQ(target(), 732);
    swipe({400, 400, 400});  // from 732 to 1464, the end
    EXPECT_EQ(target(), 1464);
    EXPECT_EQ(session.strip().activeIndex, 2);
    swipe({40});  // one column on would be 2196, beyond the end
    EXPECT_EQ(target(), 1464);
    EXPECT_EQ(session.strip().activeIndex, 2);
}

TEST_F(RibbonScrollingTest, AWheelNotchGoesBackThirtyPointsThenSnapsAColumnBack) {
    session.selectColumn(1);
    settle();
    EXPECT_EQ(sim.scroll(altScroll(0, 1, false)), InputDecision::Swallow);
    EXPECT_EQ(target(), 702);
    settle();
    EXPECT_EQ(target(), 0);

    // Still scrolling: the snap waits for the events to pause.
    EXPECT_EQ(sim.scroll(altScroll(0, -1, false)), InputDecision::Swallow);
    clock.advance(100ms);
    EXPECT_EQ(sim.scroll(altScroll(0, -1, false)), InputDecision::Swallow);
    clock.advance(100ms);
    EXPECT_TRUE(session.isSettlePending());
    EXPECT_EQ(target(), 60);
    settle();
    EXPECT_EQ(target(), 732);
}

TEST_F(RibbonScrollingTest, TheGrabTakesAltScrollInsideTheAreaOnly) {
    EXPECT_EQ(sim.scroll(altScroll(0, -1, false, {1500, 400})), InputDecision::Pass);
    EXPECT_EQ(sim.scroll(altScroll(0, 0, false)), InputDecision::Pass);  // no movement
    EXPECT_EQ(target(), 0);
    EXPECT_FALSE(session.scrollGestureStartOffset());
    ScrollInput plain = altScroll(0, -1, false);
    plain.modifiers = {};
    EXPECT_FALSE(sim.scroll(plain).has_value());  // without Alt nothing is grabbed
    EXPECT_EQ(target(), 0);
}

// The notches of a fast wheel come faster than each can be answered: the gesture keeps the
// pointer from its first notch until it settles, and never beyond the session.
TEST_F(RibbonScrollingTest, AGestureHoldsThePointerUntilItSettles) {
    EXPECT_FALSE(sim.scrollHeld());
    EXPECT_EQ(sim.scroll(altScroll(0, -1, false)), InputDecision::Swallow);
    EXPECT_TRUE(sim.scrollHeld());
    clock.advance(100ms);
    // Held, a notch counts wherever the pointer went, and with Alt already up.
    EXPECT_EQ(sim.scroll(altScroll(0, -1, false, {1500, 400})), InputDecision::Swallow);
    ScrollInput late = altScroll(0, -1, false);
    late.modifiers = {};
    EXPECT_EQ(sim.scroll(late), InputDecision::Swallow);
    EXPECT_EQ(target(), 90);
    clock.advance(100ms);
    EXPECT_TRUE(sim.scrollHeld());
    settle();
    EXPECT_FALSE(sim.scrollHeld());
    EXPECT_EQ(target(), 732);

    // A scroll that is passed on ends the hold, and so does the end of the session.
    EXPECT_EQ(sim.scroll(altScroll(0, -1, false)), InputDecision::Swallow);
    EXPECT_EQ(sim.scroll(altScroll(0, 0, false)), InputDecision::Pass);
    EXPECT_FALSE(sim.scrollHeld());
    EXPECT_EQ(sim.scroll(altScroll(0, -1, false)), InputDecision::Swallow);
    ASSERT_TRUE(sim.scrollHeld());
    session.end();
    EXPECT_FALSE(sim.scrollHeld());
}

TEST_F(RibbonScrollingTest, DotsSelectColumnsBeyondTheLastScrollPositionAndThePanelScrollsAndEnds) {
    ASSERT_TRUE(panel.handlers.selectColumn);
    panel.handlers.selectColumn(3);
    EXPECT_EQ(target(), 1464);
    EXPECT_EQ(session.strip().activeIndex, 3);
    EXPECT_EQ(panel.dots.activeIndex, 3);
    settle();
    EXPECT_EQ(session.strip().activeIndex, 3);

    // The panel scrolls without Alt, and ends the layout from its menu.
    ScrollInput overPanel = altScroll(0, 1, false, {0, 0});
    overPanel.modifiers = {};
    panel.handlers.scroll(overPanel);
    EXPECT_EQ(target(), 1434);
    settle();
    EXPECT_EQ(target(), 732);

    const auto endLayout = panel.handlers.endLayout;  // the panel goes during the call
    endLayout();
    EXPECT_EQ(panel.alive, 0);
    EXPECT_TRUE(session.windows().isEmpty());
    expectRestored();
}

TEST_F(RibbonScrollingTest, ClosingAWindowCancelsTheGesture) {
    EXPECT_EQ(sim.scroll(altScroll(20, 0, true)), InputDecision::Swallow);
    ASSERT_TRUE(session.isSettlePending());
    session.removeClosedWindows({false, true, true, true});  // as the monitor reports it
    EXPECT_EQ(session.windows().size(), 3);
    EXPECT_FALSE(session.isSettlePending());
    EXPECT_FALSE(session.scrollGestureStartOffset());
    settle();
    EXPECT_EQ(target(), 20);  // no snap: the gesture was dropped with the window
}

TEST_F(RibbonSessionTest, WithoutTheGrabThePanelStillScrolls) {
    sim.setRefuseGrabs(true);
    startWith(3);
    EXPECT_TRUE(session.hasPanel());
    EXPECT_FALSE(session.hasScrollTap());
    EXPECT_FALSE(sim.scroll(altScroll(0, -1, false)).has_value());

    panel.handlers.selectColumn(1);
    settle();
    EXPECT_EQ(session.strip().offset, 732);

    // The next update of the panel tries the grab again.
    sim.setRefuseGrabs(false);
    session.updatePanel();
    EXPECT_TRUE(session.hasScrollTap());
    EXPECT_EQ(sim.scroll(altScroll(0, 1, false)), InputDecision::Swallow);
}

}  // namespace
}  // namespace tessora
