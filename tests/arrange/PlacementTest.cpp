#include "arrange/Placement.h"
#include "tests/arrange/SimDesktopFixture.h"

using namespace std::chrono_literals;
using namespace tessora;

namespace {

class PlacementTest : public SimDesktopFixture {
protected:
    PlacementResult place(const char* layoutId, const QList<SimApp*>& apps, double gap = 0) {
        QList<InstalledApp> selection;
        for (const SimApp* app : apps) {
            selection.append(app->installedApp());
        }
        return run(placeWindows(sim, clock, *layoutWithID(layoutId), selection, area, gap, {}));
    }
    WindowHandle handle(const SimApp& app, WindowId w) const { return {app.installedApp(), w}; }
    WindowRect frameOf(WindowId w) { return sim.window(w).frame; }

    const WindowRect area{0, 0, 1200, 800};
    const WindowRect left{0, 0, 600, 800};
    const WindowRect right{600, 0, 600, 800};
    SimApp& alpha = sim.addApp("org.example.Alpha", "Alpha");
    SimApp& beta = sim.addApp("org.example.Beta", "Beta");
    SimApp& gamma = sim.addApp("org.example.Gamma", "Gamma");
    const WindowId a = sim.addWindow(alpha, {10, 10, 500, 400});
    const WindowId b = sim.addWindow(beta, {20, 20, 500, 400});
};

}  // namespace

TEST_F(PlacementTest, OnlyWindowsSharingARegionMakeAStackedTile) {
    const PlacementResult result = place("monarch", {&alpha, &beta});
    EXPECT_EQ(frameOf(a), area);
    EXPECT_EQ(frameOf(b), area);
    EXPECT_EQ(result.stackFrame, area);
    EXPECT_EQ(result.stackedWindows, (WindowHandles{handle(alpha, a), handle(beta, b)}));
    EXPECT_EQ(sim.raiseLog(), (QList<WindowId>{a, b}));
    EXPECT_TRUE(result.messages.isEmpty());

    // Fewer tiles than regions: no stacked tile.
    const PlacementResult single = place("mirror", {&alpha});
    EXPECT_EQ(single.stackFrame, std::nullopt);
    EXPECT_TRUE(single.stackedWindows.isEmpty());
    EXPECT_EQ(frameOf(a), left);
}

TEST_F(PlacementTest, SurplusWindowsPileUpInTheLastRegionInListOrder) {
    const WindowId c = sim.addWindow(gamma, {30, 30, 500, 400});
    PlacementResult result = place("mirror", {&alpha, &beta, &gamma});
    EXPECT_EQ(frameOf(a), left);
    EXPECT_EQ(frameOf(c), right);
    EXPECT_EQ(result.stackFrame, right);
    EXPECT_EQ(result.stackedWindows, (WindowHandles{handle(beta, b), handle(gamma, c)}));

    // Alpha's focused window keeps its own tile; its others come after Beta's.
    const WindowId a2 = sim.addWindow(alpha, {40, 40, 500, 400});
    const WindowId a3 = sim.addWindow(alpha, {50, 50, 500, 400});
    sim.setActiveWindow(a);
    result = place("mirror", {&alpha, &beta});
    EXPECT_EQ(frameOf(a), left);
    EXPECT_EQ(result.stackedWindows,
              (WindowHandles{handle(alpha, a2), handle(alpha, a3), handle(beta, b)}));
    EXPECT_EQ(sim.raiseLog().mid(3), (QList<WindowId>{a, a2, a3, b}));  // b ends on top
}

TEST_F(PlacementTest, ExtraWindowsTakeFreeRegionsBeforeStacking) {
    const WindowId a2 = sim.addWindow(alpha, {40, 40, 500, 400});
    sim.setActiveWindow(a2);
    const PlacementResult result = place("triad", {&alpha, &beta});
    EXPECT_EQ(frameOf(a2), (WindowRect{0, 0, 720, 800}));
    EXPECT_EQ(frameOf(b), (WindowRect{720, 0, 480, 400}));
    EXPECT_EQ(frameOf(a), (WindowRect{720, 400, 480, 400}));
    EXPECT_EQ(result.stackFrame, frameOf(a));
    EXPECT_EQ(result.stackedWindows, WindowHandles{handle(alpha, a)});
}

TEST_F(PlacementTest, MissingApplicationsKeepTheirTilesEmptyAndOthersAreLaunched) {
    auto& missing = sim.addInstalledApp("org.example.Missing", "Missing");
    missing.launchError = "Failed to execute child process";
    auto& fresh = sim.addInstalledApp("org.example.Fresh", "Fresh");
    fresh.launchDelay = 2s;
    sim.opensWindowOnLaunch(fresh, {0, 0, 300, 300}, 200ms);

    const PlacementResult result = place("triad", {&missing, &beta, &fresh});
    // A launch that fails says so, not that no window came.
    EXPECT_EQ(result.messages,
              QStringList{"Missing: could not open (Failed to execute child process)."});
    EXPECT_EQ(frameOf(b), (WindowRect{720, 0, 480, 400}));
    ASSERT_EQ(sim.windowsOf(fresh).size(), 1);
    EXPECT_EQ(frameOf(sim.windowsOf(fresh).first()), (WindowRect{720, 400, 480, 400}));
    EXPECT_EQ(fresh.activations, 0);
    EXPECT_EQ(frameOf(a), (WindowRect{10, 10, 500, 400}));  // not selected, not touched
}

TEST_F(PlacementTest, AWindowThatRefusesToShrinkWidensItsTileOnce) {
    sim.setMinimumSize(a, {800, 0});
    const PlacementResult result = place("mirror", {&alpha, &beta});
    EXPECT_EQ(frameOf(a), (WindowRect{0, 0, 800, 800}));
    EXPECT_THAT(frameOf(b), FrameNear(WindowRect{800, 0, 400, 800}));
    EXPECT_EQ(sim.window(a).frameWrites, 6);  // three attempts, then its tile fits it
    EXPECT_EQ(sim.window(b).frameWrites, 4);  // moved again
    EXPECT_EQ(result.stackFrame, frameOf(b));
}

TEST_F(PlacementTest, AWindowWhoseTileDidNotChangeIsNotWrittenAgain) {
    const WindowId c = sim.addWindow(gamma, {30, 30, 500, 400});
    sim.setMinimumSize(b, {0, 600});
    place("triad", {&alpha, &beta, &gamma});
    EXPECT_EQ(frameOf(a), (WindowRect{0, 0, 720, 800}));
    EXPECT_EQ(frameOf(b), (WindowRect{720, 0, 480, 600}));
    EXPECT_EQ(frameOf(c), (WindowRect{720, 600, 480, 200}));
    EXPECT_EQ(sim.window(a).frameWrites, 2);
    EXPECT_EQ(sim.window(c).frameWrites, 4);
}

TEST_F(PlacementTest, AWindowClosedBetweenThePassesIsReportedAfterMissingOnesAndNotRaised) {
    auto& missing = sim.addInstalledApp("org.example.Missing", "Missing");
    missing.launchError = "gone";
    sim.onNextWrite(b, [&] { sim.closeWindow(a); });
    const PlacementResult result = place("quadra", {&alpha, &beta, &missing});
    EXPECT_EQ(result.messages, (QStringList{"Missing: could not open (gone).",
                                            "Alpha: window became unavailable."}));
    EXPECT_EQ(sim.raiseLog(), QList<WindowId>{b});
}

TEST_F(PlacementTest, GapSeparatesTilesAndReapplyingWritesNothing) {
    place("mirror", {&alpha, &beta}, 24);
    EXPECT_EQ(frameOf(a), (WindowRect{0, 0, 588, 800}));
    EXPECT_EQ(frameOf(b), (WindowRect{612, 0, 588, 800}));

    place("mirror", {&alpha, &beta}, 0);
    EXPECT_EQ(frameOf(a), left);
    EXPECT_EQ(frameOf(b), right);
    place("mirror", {&alpha, &beta}, 0);
    EXPECT_EQ(sim.window(a).frameWrites + sim.window(b).frameWrites, 8);
}

TEST_F(PlacementTest, MinimizedWindowsOfTheSelectionAreBroughtBackAndPlaced) {
    // Alpha shows nothing but a minimized window; Beta one shown and one minimized, with a
    // minimized dialog; Gamma's only window is minimized on another desktop.
    sim.window(a).minimized = true;
    sim.setSettleDelay(a, 200ms);
    const WindowId b2 = sim.addWindow(beta, {60, 60, 500, 400});
    sim.window(b2).minimized = true;
    const WindowId dialog = sim.addWindow(beta, {70, 70, 200, 100}, SimWindowKind::Dialog);
    sim.window(dialog).minimized = true;
    const WindowId c = sim.addWindow(gamma, {30, 30, 500, 400});
    sim.window(c).minimized = true;
    sim.window(c).desktop = 1;

    const PlacementResult result = place("quadra", {&alpha, &beta, &gamma});
    EXPECT_EQ(result.messages, QStringList{"Gamma: no available window on this desktop."});
    const std::vector<WindowRect> tiles = frames(4, layoutWithID("quadra")->regions, area, 0);
    EXPECT_FALSE(sim.window(a).minimized);
    EXPECT_EQ(frameOf(a), tiles[0]);
    // Beta's windows take its own tile and the one after Gamma's, whichever came back active.
    EXPECT_THAT((std::vector<WindowRect>{frameOf(b), frameOf(b2)}),
                ::testing::UnorderedElementsAre(tiles[1], tiles[3]));
    EXPECT_EQ(sim.window(b2).unminimizes, 1);
    EXPECT_EQ(sim.window(b).unminimizes, 0);
    EXPECT_TRUE(sim.window(dialog).minimized);
    EXPECT_TRUE(sim.window(c).minimized);
    EXPECT_EQ(sim.window(c).unminimizes, 0);
}

// A window that stays where it was (its client moves it back, or ignores the request) is a
// problem; one held off its tile's exact frame by its own sizes or by a window manager that
// keeps it on screen is not.
TEST_F(PlacementTest, AWindowThatStaysPutIsReportedUnlikeOnesHeldByTheirSizes) {
    sim.window(b).staysPut = true;
    PlacementResult result = place("mirror", {&alpha, &beta});
    EXPECT_EQ(result.messages, QStringList{"Beta: window could not be placed."});
    EXPECT_EQ(frameOf(b), (WindowRect{20, 20, 500, 400}));
    EXPECT_EQ(frameOf(a), left);
    EXPECT_EQ(sim.raiseLog(), (QList<WindowId>{a, b}));

    // Rounded down to its size increments, 30 points short of its tile's height.
    sim.window(b).staysPut = false;
    sim.window(a).frame = {10, 10, 500, 400};
    sim.setSizeIncrements(a, {50, 70});
    result = place("mirror", {&alpha, &beta});
    EXPECT_EQ(frameOf(a), (WindowRect{0, 0, 600, 770}));
    EXPECT_TRUE(result.messages.isEmpty()) << result.messages.join(' ').toStdString();

    // Both too wide for their halves, so the tiles cannot make room: the right one, at its
    // tile's start, would reach past the screen, which the window manager keeps it on.
    sim.setSizeIncrements(a, {});
    sim.window(a).frame = {10, 10, 500, 400};
    sim.window(b).frame = {20, 20, 500, 400};
    sim.setScreens({Screen{1, area, area}});
    sim.setKeepsWindowsOnScreen(1e9);
    sim.setMinimumSize(a, {700, 0});
    sim.setMinimumSize(b, {700, 0});
    result = place("mirror", {&alpha, &beta});
    EXPECT_EQ(frameOf(a), (WindowRect{0, 0, 700, 800}));
    EXPECT_EQ(frameOf(b), (WindowRect{500, 0, 700, 800}));
    EXPECT_TRUE(result.messages.isEmpty()) << result.messages.join(' ').toStdString();
}
