// Real clients placed into every layout by a real window manager: the whole arranging path,
// from waiting for windows to verified writes, on Xvfb and openbox. The placement's own waits
// run on the production clock here (the window manager works in real time); the tests only wait
// for the placement to finish.
#include "arrange/Placement.h"
#include "core/QtClock.h"
#include "core/TaskHandle.h"
#include "tests/support/TemporaryTree.h"
#include "tests/x11/X11TestSession.h"
#include "workspace/WindowLayout.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>

namespace tessora::testing {
namespace {

class X11Placement : public X11Test {
protected:
    xcb_window_t client(const QString& id, QStringList options = {}) {
        options << "--class" << id << "--title" << id;
        const xcb_window_t window = startClient(options);
        EXPECT_TRUE(waitManaged(window));
        return window;
    }

    PlacementResult place(const char* layout, const InstalledApps& apps, double gap) {
        auto placing =
            start(placeWindows(*system, realClock, *layoutWithID(layout), apps, area(), gap, {}));
        QEventLoop loop;
        QTimer guard;  // fails the test instead of hanging it
        guard.setSingleShot(true);
        guard.start(60'000);
        while (!placing.done() && guard.isActive()) {
            loop.processEvents(QEventLoop::WaitForMoreEvents);
        }
        EXPECT_TRUE(placing.done()) << "placement did not finish";
        return placing.done() ? placing.result() : PlacementResult{};
    }

    WindowRect area() const { return system->screens().first().visibleFrame; }

    QtClock realClock;
};

TEST_F(X11Placement, EveryLayoutWithAndWithoutTheGap) {
    InstalledApps apps;
    QList<xcb_window_t> windows;
    for (const char* id : {"alpha", "beta", "gamma"}) {
        apps << testApplication(id);
        windows << client(id);
    }
    for (const WindowLayout& layout : builtInLayouts()) {
        if (layout.id == QLatin1String(chainLayoutId)) {
            continue;
        }
        for (const double gap : {0.0, 24.0}) {
            const PlacementResult result = place(layout.id.toLatin1().constData(), apps, gap);
            EXPECT_TRUE(result.messages.isEmpty()) << result.messages.join(' ').toStdString();
            const auto expected = frames(3, layout.regions, area(), gap);
            for (int i = 0; i < 3; ++i) {
                EXPECT_TRUE(near(system->frame(windows[i]), expected[i]))
                    << layout.id.toStdString() << " gap " << gap << " window " << i << ": "
                    << describe(system->frame(windows[i]));
            }
        }
    }
}

TEST_F(X11Placement, WindowsThatCannotShrinkOrRoundTheirSize) {
    const InstalledApp wide = testApplication("wide");
    const InstalledApp cells = testApplication("cells");
    const xcb_window_t wideWindow = client("wide", {"--min-size", "900x200"});
    const xcb_window_t cellWindow = client("cells", {"--increments", "7x13"});
    const PlacementResult result = place("mirror", {wide, cells}, 0);
    EXPECT_TRUE(result.messages.isEmpty()) << result.messages.join(' ').toStdString();

    // The wide window keeps its minimum and the other takes what is left; the cell window
    // ends within one cell of its tile.
    const auto wideFrame = system->frame(wideWindow);
    const auto cellFrame = system->frame(cellWindow);
    ASSERT_TRUE(wideFrame && cellFrame);
    EXPECT_GE(wideFrame->width, 900);
    EXPECT_NEAR(cellFrame->x, wideFrame->maxX(), 6);
    EXPECT_NEAR(cellFrame->maxX(), area().maxX(), 7);
    EXPECT_NEAR(cellFrame->height, area().height, 13);
}

TEST_F(X11Placement, SeveralWindowsOfOneApplicationAndOneOnAnotherDesktop) {
    const InstalledApp many = testApplication("many");
    const InstalledApp away = testApplication("away");
    const std::vector<xcb_window_t> manyWindows =
        session.startClient({"--class", "many", "--windows", "3"});
    ASSERT_EQ(manyWindows.size(), 3u);
    for (const xcb_window_t window : manyWindows) {
        ASSERT_TRUE(waitManaged(window));
    }
    const xcb_window_t awayWindow = client("away");
    session.moveToDesktop(awayWindow, 1);
    ASSERT_TRUE(session.waitUntil([&] {
        for (const OnScreenWindow& entry : system->onScreenWindows()) {
            if (entry.window == awayWindow) {
                return false;
            }
        }
        return true;
    }));

    const PlacementResult result = place("quadra", {many, away}, 0);
    EXPECT_EQ(result.messages, QStringList({"away: no available window on this desktop."}));
    // The focused window takes tile 0; tile 1 stays empty for the missing application; the
    // other two take tiles 2 and 3.
    const auto expected = frames(4, layoutWithID("quadra")->regions, area(), 0);
    QList<WindowRect> placed;
    for (const xcb_window_t window : manyWindows) {
        placed << system->frame(window).value_or(WindowRect{});
    }
    for (const int tile : {0, 2, 3}) {
        EXPECT_TRUE(
            std::any_of(placed.begin(), placed.end(),
                        [&](const WindowRect& frame) { return near(frame, expected[tile]); }))
            << "tile " << tile;
    }
}

// An application whose first window comes 3 s after its launch, long after the poll that asks
// a windowless application again: it is launched once, and its one window is placed.
TEST_F(X11Placement, ASlowStarterIsLaunchedOnceAndPlaced) {
    const QString starts = entryFolder.path(QStringLiteral("slow-starts"));
    const QString path = entryFolder.write(
        QStringLiteral("applications/slow.desktop"),
        QStringLiteral("[Desktop Entry]\nType=Application\nName=slow\nStartupWMClass=slow\n"
                       "Exec=\"%1\" --class slow --delay-window 3 --note-start \"%2\"\n")
            .arg(XSession::testClientPath(), starts)
            .toUtf8());
    entries << *x11::KnownEntry::fromFile(QStringLiteral("slow"), path);
    const InstalledApp slow{QStringLiteral("slow"), QStringLiteral("slow"), path, {}};
    const InstalledApp ready = testApplication("ready");
    const xcb_window_t readyWindow = client("ready");

    const PlacementResult result = place("mirror", {ready, slow}, 0);
    EXPECT_TRUE(result.messages.isEmpty()) << result.messages.join(' ').toStdString();
    const auto expected = frames(2, layoutWithID("mirror")->regions, area(), 0);
    EXPECT_TRUE(near(system->frame(readyWindow), expected[0]))
        << describe(system->frame(readyWindow));
    const std::optional<RunningApplication> running = system->runningApplication(slow.id);
    ASSERT_TRUE(running);
    const std::optional<QList<WindowId>> windows = system->windows(*running);
    ASSERT_TRUE(windows && windows->size() == 1);
    EXPECT_TRUE(near(system->frame(windows->front()), expected[1]))
        << describe(system->frame(windows->front()));

    // A second launch would have noted its start within a second, long before the placement
    // ended.
    QFile noted(starts);
    ASSERT_TRUE(noted.open(QIODevice::ReadOnly));
    EXPECT_EQ(noted.readAll().count('\n'), 1);
}

// Windows that come and go while a placement runs never bring the process down.
TEST_F(X11Placement, WindowsDestroyedDuringPlacement) {
    const InstalledApp churn = testApplication("churn");
    xcb_connection_t* c = session.connection();
    for (int round = 0; round < 1000; ++round) {
        const xcb_window_t window = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, session.root(), 0, 0, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        const char windowClass[] = "churn\0churn";
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            sizeof windowClass, windowClass);
        xcb_map_window(c, window);
        xcb_flush(c);
        // On the virtual clock, so each round takes no real time; the window goes at a
        // different step of the placement every round.
        auto placing =
            start(placeWindows(*system, clock, *layoutWithID("mirror"), {churn}, area(), 0, {}));
        const int destroyAfter = round % 12;
        bool destroyed = false;
        for (int step = 0; !placing.done() && step < 200; ++step) {
            if (step == destroyAfter) {
                xcb_destroy_window(c, window);
                xcb_flush(c);
                destroyed = true;
            }
            QCoreApplication::processEvents();
            clock.runNext();
        }
        if (!destroyed) {
            xcb_destroy_window(c, window);
            xcb_flush(c);
        }
        clock.runUntilIdle();
        ASSERT_TRUE(placing.done()) << "round " << round;
    }
    session.sync();
    EXPECT_TRUE(system->canControlWindows());
}

}  // namespace
}  // namespace tessora::testing
