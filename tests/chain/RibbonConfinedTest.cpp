// The strip on a window manager that keeps windows on screen: a column it will not leave beyond
// the edge must not end up over the visible ones.
#include "tests/chain/RibbonSessionFixture.h"

namespace tessora {
namespace {

using namespace std::chrono_literals;

// The screen is the area itself: four columns of 708 starting 0, 732, 1464 and 2196.
class RibbonConfinedTest : public RibbonSessionTest {
protected:
    void SetUp() override { sim.setScreens({Screen{1, area, area}}); }

    // Every pair of windows that are shown lies side by side, without overlapping.
    void expectNoneCovered(const char* when) {
        for (int i = 0; i < ids.size(); ++i) {
            for (int j = i + 1; j < ids.size(); ++j) {
                if (win(i).minimized || win(j).minimized) {
                    continue;
                }
                const WindowRect& a = win(i).frame;
                const WindowRect& b = win(j).frame;
                const double overlap = std::min(a.maxX(), b.maxX()) - std::max(a.minX(), b.minX());
                EXPECT_LE(overlap, 1) << when << ": windows " << i << " and " << j;
            }
        }
    }

    // Scrolls to `column`, checking every frame of the animation.
    void scrollToColumn(int column) {
        session.selectColumn(column);
        for (int frame = 0; frame < 200 && (session.isRendering() || session.isAnimating());
             ++frame) {
            clock.advance(RibbonLayoutSession::renderFrame);
            expectNoneCovered("while scrolling");
        }
        settle();
    }

    void expectColumn(int i, const WindowRect& frame) {
        EXPECT_FALSE(win(i).minimized) << i;
        EXPECT_THAT(win(i).frame, FrameNear(frame)) << i;
    }
};

// Keeping all of a window on screen (mutter, icewm) or a strip of it (openbox, xfwm4).
class RibbonConfinedScrollTest : public RibbonConfinedTest,
                                 public ::testing::WithParamInterface<double> {};

TEST_P(RibbonConfinedScrollTest, ColumnsOutOfViewAreMinimizedAndComeBackWhenTheyScrollIn) {
    sim.setKeepsWindowsOnScreen(GetParam());
    startWith(4);
    EXPECT_TRUE(session.strip().confined);
    expectColumn(0, {0, 0, 708, 900});
    expectColumn(1, {732, 0, 708, 900});
    EXPECT_TRUE(win(2).minimized && win(3).minimized);
    EXPECT_EQ(session.minimizedWindows(), (QSet<WindowId>{ids[2], ids[3]}));
    expectNoneCovered("at the start");

    scrollToColumn(1);
    EXPECT_TRUE(win(0).minimized);
    expectColumn(1, {0, 0, 708, 900});
    expectColumn(2, {732, 0, 708, 900});
    EXPECT_TRUE(win(3).minimized);

    // The end shows every window again where it was.
    session.end();
    expectRestored();
    for (int i = 0; i < ids.size(); ++i) {
        EXPECT_FALSE(win(i).minimized) << i;
    }
    EXPECT_TRUE(session.minimizedWindows().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(KeptOnScreen, RibbonConfinedScrollTest, ::testing::Values(1e9, 64.0));

TEST_F(RibbonConfinedTest, AColumnPartlyInViewIsCutToThePartInView) {
    sim.setKeepsWindowsOnScreen(64);
    startWith(3);
    // Between the first two columns: the first hangs over the left edge by 366 points, the
    // last over the right one.
    session.scrollTo(366);
    settle();
    expectColumn(0, {0, 0, 342, 900});
    expectColumn(1, {366, 0, 708, 900});
    expectColumn(2, {1098, 0, 342, 900});
    expectNoneCovered("at rest");
    // Back at the start, they have their width again.
    session.scrollTo(0);
    settle();
    expectColumn(0, {0, 0, 708, 900});
    expectColumn(1, {732, 0, 708, 900});
    EXPECT_TRUE(win(2).minimized);
}

TEST_F(RibbonConfinedTest, AWindowTheUserMinimizedStaysMinimizedAfterTheEnd) {
    sim.setKeepsWindowsOnScreen(64);
    startWith(3);
    win(0).minimized = true;  // by the user, in view
    session.end();
    EXPECT_TRUE(win(0).minimized);
    EXPECT_FALSE(win(1).minimized || win(2).minimized);
    EXPECT_EQ(win(0).minimizeRequests, 0);
}

// Where windows may hang over the edge, nothing is minimized or cut.
TEST_F(RibbonConfinedTest, AWindowManagerThatLeavesWindowsWhereAskedConfinesNothing) {
    startWith(4);
    EXPECT_FALSE(session.strip().confined);
    EXPECT_THAT(win(2).frame, FrameNear(WindowRect{1464, 0, 708, 900}));
    for (int i = 0; i < ids.size(); ++i) {
        EXPECT_EQ(win(i).minimizeRequests, 0) << i;
    }
}

}  // namespace
}  // namespace tessora
