#include "arrange/StackIndicator.h"
#include "tests/arrange/SimDesktopFixture.h"

namespace tessora {
namespace {

using namespace std::chrono_literals;

// What the indicator asked of its pill, kept beyond the pill's life.
struct PillRecord {
    int alive = 0;
    bool visible = false;
    WindowRect frame;
    QList<QRectF> dots;
    StackIndicatorView::ClickHandler click;
};

class RecordingPill final : public StackIndicatorView {
public:
    explicit RecordingPill(PillRecord& record) : m_record(record) { ++m_record.alive; }
    ~RecordingPill() override {
        --m_record.alive;
        m_record.click = nullptr;
    }
    void show(const WindowRect& frame, stackindicator::Orientation,
              const QList<QRectF>& dots) override {
        m_record.visible = true;
        m_record.frame = frame;
        m_record.dots = dots;
    }
    void hide() override { m_record.visible = false; }
    void setClickHandler(ClickHandler handler) override { m_record.click = std::move(handler); }

private:
    PillRecord& m_record;
};

// Three windows stacked in the right half of a 1200 × 800 area with a 24-point gap: the pill
// stands upright in the gap, x 592..608, centred on y 400.
class StackIndicatorTest : public SimDesktopFixture {
protected:
    const WindowRect area{0, 0, 1200, 800};
    const WindowRect tile{612, 0, 588, 800};

    StackIndicatorTest() {
        auto& editor = sim.addApp("org.example.Editor", "Editor");
        auto& terminal = sim.addApp("org.example.Terminal", "Terminal");
        stacked = {{editor.installedApp(), sim.addWindow(editor, tile)},
                   {terminal.installedApp(), sim.addWindow(terminal, tile)},
                   {editor.installedApp(), sim.addWindow(editor, tile)}};
    }

    void showStack(qsizetype count = 3) { indicator.show(stacked.first(count), area, tile, 24); }
    // Through a copy, as a view does: the click may drop the pill that holds the handler.
    void clickAt(QPointF point) {
        const auto click = pill.click;
        click(point);
    }
    void clickDot(int index) { clickAt(pill.dots[index].center()); }
    int longDot() const {  // the pill stands upright here
        for (int i = 0; i < pill.dots.size(); ++i) {
            if (pill.dots[i].height() > stackindicator::dotLength) {
                return i;
            }
        }
        return -1;
    }
    int focuses(int index) { return sim.window(stacked[index].window).focuses; }
    SimWindow& window(int index) { return sim.window(stacked[index].window); }
    std::optional<InputDecision> cycleKey(Keysym key) {
        return sim.pressKey({key, KeyModifier::Super | KeyModifier::Alt});
    }
    void expectGone() {
        EXPECT_FALSE(indicator.exists());
        EXPECT_EQ(pill.alive, 0);
        EXPECT_EQ(sim.liveGrabs(), 0);
        EXPECT_EQ(clock.pending(), 0u);
    }

    PillRecord pill;
    WindowStackIndicator indicator{sim, clock,
                                   [this] { return std::make_unique<RecordingPill>(pill); }};
    QList<WindowHandle> stacked;
};

TEST_F(StackIndicatorTest, ShowsOneDotPerWindowAndReplacesItself) {
    sim.setActiveWindow(stacked[1].window);
    showStack();
    EXPECT_TRUE(pill.visible);
    EXPECT_EQ(pill.frame, (WindowRect{592, 378, 16, 44}));
    EXPECT_EQ(pill.dots.size(), 3);
    EXPECT_EQ(longDot(), 1);
    EXPECT_EQ(sim.liveGrabs(), 2);

    // Without an active window, the stacked window nearest the front is the active one.
    sim.setActiveWindow(std::nullopt);
    sim.raise(stacked[0].window);
    showStack();
    EXPECT_EQ(indicator.activeIndex(), 0);
    EXPECT_EQ(pill.alive, 1);
    EXPECT_EQ(sim.liveGrabs(), 2);

    indicator.show(stacked.first(1), area, tile, 24);
    expectGone();
}

TEST_F(StackIndicatorTest, ClicksScrollsAndKeysFocusAnotherWindow) {
    showStack();
    EXPECT_EQ(indicator.activeIndex(), 2);  // the last one raised
    clickDot(0);
    EXPECT_EQ(focuses(0), 1);
    EXPECT_EQ(longDot(), 0);
    clickAt({8, 43});  // past the last dot
    EXPECT_EQ(indicator.activeIndex(), 0);

    // Trackpad swipes add up to one step, each one swallowed.
    const ScrollInput swipe{12, 0, true, {900, 400}, KeyModifier::Alt};
    EXPECT_EQ(sim.scroll(swipe), InputDecision::Swallow);
    EXPECT_EQ(sim.scroll(swipe), InputDecision::Swallow);
    EXPECT_EQ(indicator.activeIndex(), 0);
    EXPECT_EQ(sim.scroll(swipe), InputDecision::Swallow);
    EXPECT_EQ(indicator.activeIndex(), 1);
    EXPECT_EQ(focuses(1), 1);
    EXPECT_EQ(indicator.scrollAccumulated(), 0);
    EXPECT_EQ(sim.scroll({0, 1, false, {100, 400}, KeyModifier::Alt}), InputDecision::Pass);

    // Super+Alt+arrows wrap around both ends.
    EXPECT_EQ(cycleKey(keysym::right), InputDecision::Swallow);
    EXPECT_EQ(cycleKey(keysym::right), InputDecision::Swallow);
    EXPECT_EQ(indicator.activeIndex(), 0);
    EXPECT_EQ(cycleKey(keysym::left), InputDecision::Swallow);
    EXPECT_EQ(longDot(), 2);
}

TEST_F(StackIndicatorTest, HidesWhileFewerThanTwoAreVisible) {
    showStack(2);
    window(1).minimized = true;
    clock.advance(499ms);
    EXPECT_TRUE(pill.visible);
    clock.advance(1ms);
    EXPECT_FALSE(pill.visible);
    EXPECT_TRUE(indicator.exists());

    window(1).minimized = false;
    clock.advance(500ms);
    EXPECT_TRUE(pill.visible);
    EXPECT_EQ(indicator.liveWindows(), stacked.first(2));

    sim.setCurrentDesktop(1);  // at once, on the desktop change
    EXPECT_FALSE(pill.visible);
}

TEST_F(StackIndicatorTest, FollowsWindowsLeavingReturningAndBecomingActive) {
    showStack();
    window(1).frame = {0, 0, 500, 400};
    clock.advance(500ms);
    EXPECT_EQ(indicator.liveWindows(), (QList<WindowHandle>{stacked[0], stacked[2]}));
    EXPECT_EQ(pill.frame, (WindowRect{592, 382.5, 16, 35}));  // shorter, same centre
    EXPECT_EQ(indicator.activeIndex(), 1);

    window(1).frame = {640, 20, 540, 760};  // back, nearly filling the tile
    clock.advance(500ms);
    EXPECT_EQ(indicator.liveWindows(), stacked);

    // The long dot follows the active window.
    sim.setActiveWindow(stacked[1].window);  // at once, on the activation
    EXPECT_EQ(longDot(), 1);

    // Raised while another application is frontmost: the next sync finds it on top.
    auto& browser = sim.addApp("org.example.Browser", "Browser");
    sim.setActiveWindow(sim.addWindow(browser, {0, 0, 588, 800}));
    sim.raise(stacked[0].window);
    clock.advance(500ms);
    EXPECT_EQ(longDot(), 0);
}

TEST_F(StackIndicatorTest, EndsWhenFewerThanTwoAreLeft) {
    showStack(2);
    sim.closeWindow(stacked[1].window);
    clock.advance(500ms);
    expectGone();

    // Also from inside the pill's own click: focusing reports the activation at once.
    showStack();
    sim.closeWindow(stacked[2].window);
    clickDot(0);
    EXPECT_EQ(focuses(0), 1);
    expectGone();
}

// Among many other windows, a check reads the window list once and, of the windows, only the
// stacked ones that the list shows on screen.
TEST_F(StackIndicatorTest, ACheckReadsTheWindowListOnce) {
    for (int i = 0; i < 17; ++i) {
        auto& other = sim.addApp(QStringLiteral("org.example.Other%1").arg(i), "Other");
        sim.addWindow(other, {0, 0, 588, 800});
    }
    showStack();
    int desktopReads = sim.desktopReads();
    int windowReads = sim.windowReads();
    clock.advance(500ms);
    EXPECT_EQ(sim.desktopReads() - desktopReads, 1);
    EXPECT_EQ(sim.windowReads() - windowReads, 3 * 3);  // minimized, full screen, frame
    EXPECT_EQ(indicator.liveWindows(), stacked);

    window(1).minimized = true;
    desktopReads = sim.desktopReads();
    windowReads = sim.windowReads();
    clock.advance(500ms);
    EXPECT_EQ(sim.desktopReads() - desktopReads, 1);
    EXPECT_EQ(sim.windowReads() - windowReads, 2 * 3);
    EXPECT_EQ(indicator.liveWindows(), (QList<WindowHandle>{stacked[0], stacked[2]}));
}

TEST_F(StackIndicatorTest, WorksByClicksWithoutGrabs) {
    sim.setRefuseGrabs(true);
    showStack();
    EXPECT_EQ(cycleKey(keysym::right), std::nullopt);
    clickDot(1);
    EXPECT_EQ(focuses(1), 1);
}

}  // namespace
}  // namespace tessora
