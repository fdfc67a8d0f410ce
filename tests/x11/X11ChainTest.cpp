// The Chain strip on a real X server and window manager: real clients laid out as columns,
// scrolled with Alt + wheel through the backend's grab helper, and put back at the end; and the
// command-line program stopped, killed, left without windows or without a window manager
// mid-session, which must freeze no input and always end. The session's own waits run on the
// production clock; the tests wait on the server.
#include "chain/RibbonDots.h"
#include "chain/RibbonLayoutSession.h"
#include "core/QtClock.h"
#include "core/TaskHandle.h"
#include "platform/x11/X11Connection.h"
#include "tests/support/TemporaryTree.h"
#include "tests/x11/X11TestSession.h"
#include "workspace/WindowLayout.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <csignal>

namespace tessora::testing {
namespace {

constexpr uint32_t kAltL = 0xffe9;
// Horizontal wheel notches: openbox binds Alt + vertical wheel on frames to switch desktops,
// which would take the events that the grab passes on.
constexpr uint8_t kWheelRight = 6, kWheelLeft = 7;

// A test client that reports the buttons pressed in its window.
struct ReportingClient {
    xcb_window_t window = XCB_WINDOW_NONE;
    QProcess* process = nullptr;
    QList<int> pressed;

    const QList<int>& buttons() {
        if (process) {
            process->waitForReadyRead(0);  // takes what arrived, without waiting
        }
        while (process && process->canReadLine()) {
            const QList<QByteArray> words = process->readLine().trimmed().split(' ');
            if (words.size() == 2 && words[0] == "button") {
                pressed << words[1].toInt();
            }
        }
        return pressed;
    }
};

class X11Chain : public X11Test {
protected:
    void TearDown() override {
        chain.reset();  // before the backend it uses
    }

    ReportingClient client(const QString& id) {
        ReportingClient result;
        result.process = session.run(XSession::testClientPath(),
                                     {"--class", id, "--title", id, "--report-buttons"});
        const bool ready = session.waitUntil([&] {
            result.process->waitForReadyRead(0);
            return result.process->canReadLine();
        });
        const QList<QByteArray> words =
            ready ? result.process->readLine().trimmed().split(' ') : QList<QByteArray>{};
        EXPECT_TRUE(words.size() == 2 && words[0] == "ready") << id.toStdString();
        result.window = words.size() == 2 ? words[1].toUInt() : xcb_window_t{XCB_WINDOW_NONE};
        EXPECT_TRUE(waitManaged(result.window)) << id.toStdString();
        return result;
    }

    bool waitForFrame(xcb_window_t window, const WindowRect& expected) {
        return waitFor([&] { return near(system->frame(window), expected); });
    }

    // A column where the strip puts it: in view at `slot`; out of view there as well, cut to
    // the part of it on the screen, or minimized, as the window manager allows. Either way at
    // the full height and over no neighbour's slot.
    bool waitForColumn(xcb_window_t window, const WindowRect& slot, double screenWidth) {
        if (slot.minX() >= 0 && slot.maxX() <= screenWidth) {
            return waitForFrame(window, slot);
        }
        return waitFor([&] {
            if (system->isMinimized(window) == true) {
                return true;
            }
            const std::optional<WindowRect> frame = system->frame(window);
            return frame && std::abs(frame->height - slot.height) <= 6 &&
                   frame->minX() >= slot.minX() - 6 && frame->maxX() <= slot.maxX() + 6;
        });
    }

    // Arranged by the program: every window is a full-height column and one was moved off to
    // the right (or minimized, where the window manager keeps windows on screen), which happens
    // only once the grab is in place.
    bool waitArranged(const std::vector<ReportingClient>& columns) {
        const double height = system->screens().first().visibleFrame.height;
        return waitFor([&] {
            bool beyond = false;
            for (const ReportingClient& column : columns) {
                const std::optional<WindowRect> frame = system->frame(column.window);
                if (!frame || std::abs(frame->height - height) > 6) {
                    return false;
                }
                beyond = beyond || frame->x >= 1200 || system->isMinimized(column.window) == true;
            }
            return beyond;
        });
    }

    QList<WindowRect> framesOf(const std::vector<ReportingClient>& columns) {
        QList<WindowRect> frames;
        for (const ReportingClient& column : columns) {
            frames << system->frame(column.window).value_or(WindowRect{});
        }
        return frames;
    }

    // Every window shown again, at its frame in `originals`.
    void expectPutBack(const std::vector<ReportingClient>& columns,
                       const QList<WindowRect>& originals) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const xcb_window_t window = columns[i].window;
            EXPECT_TRUE(waitFor([&] { return system->isMinimized(window) == false; }))
                << "window " << i << " stays minimized";
            EXPECT_TRUE(waitForFrame(window, originals.value(qsizetype(i))))
                << "window " << i << ": " << describe(system->frame(window)) << " instead of "
                << describe(originals.value(qsizetype(i)));
        }
    }

    // Three test clients, each an application of its own: alpha, beta and gamma.
    std::vector<ReportingClient> threeColumns() {
        std::vector<ReportingClient> columns;
        for (const char* id : {"alpha", "beta", "gamma"}) {
            testApplication(id);
            columns.push_back(client(id));
        }
        return columns;
    }

    // Runs `tessora --arrange ribbon alpha beta gamma` until it has arranged `columns`; false
    // (and the program ended) when it did not.
    bool runProgramOn(QProcess& program, const std::vector<ReportingClient>& columns) {
        startProgram(program, {"alpha", "beta", "gamma"});
        if (program.waitForStarted() && waitArranged(columns)) {
            return true;
        }
        program.kill();
        program.waitForFinished();
        return false;
    }

    // The program has ended (or ends within the wait).
    bool waitEnded(QProcess& program) {
        return waitFor([&] { return program.state() == QProcess::NotRunning; });
    }

    // Runs the program on three windows, closes them all (then sends SIGINT, when `signal`),
    // and expects the program to end well.
    void closeEveryWindowOfTheProgram(bool signal) {
        std::vector<ReportingClient> columns = threeColumns();
        QProcess program;
        ASSERT_TRUE(runProgramOn(program, columns)) << "the program did not arrange the windows";
        for (ReportingClient& column : columns) {
            column.process->kill();
        }
        ASSERT_TRUE(waitFor([&] {
            return std::all_of(columns.begin(), columns.end(),
                               [&](const ReportingClient& c) { return system->isGone(c.window); });
        }));
        if (signal) {
            // Once the strip has noticed (its pill goes), or the program ended already.
            ASSERT_TRUE(waitFor([&] {
                return program.state() == QProcess::NotRunning ||
                       !viewableWindowOfClass(session.root(), "tessora", 2);
            }));
            if (program.state() != QProcess::NotRunning) {
                ::kill(static_cast<pid_t>(program.processId()), SIGINT);
            }
        }
        const bool ended = waitEnded(program);
        if (!ended) {
            program.kill();
            program.waitForFinished();
        }
        ASSERT_TRUE(ended) << (signal ? "the program did not answer SIGINT"
                                      : "the program kept running without windows");
        // A signal that finds the program past its last window work ends it as signals do.
        if (program.exitStatus() == QProcess::CrashExit && signal) {
            EXPECT_EQ(program.exitCode(), SIGINT);
        } else {
            EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(program.exitCode(), 0);
        }
    }

    // `tessora --arrange ribbon APPS...` on the test's display.
    void startProgram(QProcess& program, const QStringList& apps) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", QString::fromLatin1(session.display()));
        environment.insert("XDG_DATA_DIRS", entryFolder.root());
        environment.insert("XDG_DATA_HOME", entryFolder.path("home"));
        environment.insert("XDG_CONFIG_HOME", entryFolder.path("config"));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QStringLiteral(TESSORA_PROGRAM_PATH),
                      QStringList{"--arrange", chainLayoutId} + apps);
    }

    void startChain(const WindowRect& area, double gap, const InstalledApps& apps) {
        chain = std::make_unique<RibbonLayoutSession>(*system, realClock, RibbonPanelViewFactory());
        auto starting = start(chain->start(
            layoutWithID(QString::fromLatin1(chainLayoutId))->regions, apps, area, gap));
        QEventLoop loop;
        QTimer guard;  // fails the test instead of hanging it
        guard.setSingleShot(true);
        guard.start(30'000);
        while (!starting.done() && guard.isActive()) {
            loop.processEvents(QEventLoop::WaitForMoreEvents);
        }
        ASSERT_TRUE(starting.done()) << "the session did not start";
    }

    // Position in the stacking order, front first; past the end when not on screen.
    qsizetype stackingIndex(xcb_window_t window) const {
        const QList<OnScreenWindow> stacking = system->onScreenWindows();
        for (qsizetype i = 0; i < stacking.size(); ++i) {
            if (stacking[i].window == window) {
                return i;
            }
        }
        return stacking.size();
    }

    bool settled() const {
        return !chain->isRendering() && !chain->isAnimating() && !chain->isSettlePending();
    }

    void altClick(uint8_t button) {
        session.pressKey(session.keycodeOf(kAltL), true);
        click(button);
        session.pressKey(session.keycodeOf(kAltL), false);
    }

    // The frame in root coordinates of the first viewable window under `parent` (to `depth`
    // levels) whose WM_CLASS contains `name`.
    std::optional<WindowRect> viewableWindowOfClass(xcb_window_t parent, const QByteArray& name,
                                                    int depth) {
        xcb_connection_t* c = session.connection();
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, parent), nullptr);
        if (!tree) {
            return std::nullopt;
        }
        std::optional<WindowRect> found;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree) && !found; ++i) {
            const xcb_window_t child = children[i];
            xcb_get_property_reply_t* wmClass = xcb_get_property_reply(
                c, xcb_get_property(c, 0, child, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 64),
                nullptr);
            xcb_get_window_attributes_reply_t* attributes =
                xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, child), nullptr);
            xcb_get_geometry_reply_t* geometry =
                xcb_get_geometry_reply(c, xcb_get_geometry(c, child), nullptr);
            xcb_translate_coordinates_reply_t* origin = xcb_translate_coordinates_reply(
                c, xcb_translate_coordinates(c, child, session.root(), 0, 0), nullptr);
            const bool matches =
                wmClass && QByteArray(static_cast<const char*>(xcb_get_property_value(wmClass)),
                                      xcb_get_property_value_length(wmClass))
                               .contains(name);
            if (matches && attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
                geometry && origin) {
                found = WindowRect{double(origin->dst_x), double(origin->dst_y),
                                   double(geometry->width), double(geometry->height)};
            }
            std::free(wmClass);
            std::free(attributes);
            std::free(geometry);
            std::free(origin);
            if (!found && depth > 0) {
                found = viewableWindowOfClass(child, name, depth - 1);
            }
        }
        std::free(tree);
        return found;
    }

    QtClock realClock;
    std::unique_ptr<RibbonLayoutSession> chain;
};

// The strip fills an area that leaves the bottom of the screen free; a client down there is
// outside the area, where Alt + wheel belongs to the window under the pointer.
TEST_F(X11Chain, StripScrollsUnderAltWheelAndEndRestoresEveryFrame) {
    const WindowRect area{0, 0, 1280, 600};
    const double gap = 20;  // columns of 630, starting 650 apart; the strip scrolls to 650
    InstalledApps apps;
    std::vector<ReportingClient> columns;
    for (const char* id : {"alpha", "beta", "gamma"}) {
        apps << testApplication(id);
        columns.push_back(client(id));
    }
    ReportingClient outside = client("outside");
    const WindowRect outsideFrame{700, 650, 300, 120};
    system->setFrame(outside.window, outsideFrame);
    ASSERT_TRUE(waitForFrame(outside.window, outsideFrame))
        << describe(system->frame(outside.window));
    const QList<WindowRect> originals = framesOf(columns);

    startChain(area, gap, apps);
    ASSERT_TRUE(chain->isActive());
    ASSERT_TRUE(chain->hasScrollTap());
    EXPECT_EQ(chain->strip().itemOffsets, (QList<double>{0, 650, 1300}));
    // openbox keeps a tenth of a window that a client moves off the screen on it, over the
    // visible columns: the columns out of view go out of the way instead.
    auto columnFrame = [&](int index, double offset) {
        return WindowRect{650.0 * index - offset, 0, 630, 600};
    };
    // Two columns side by side, the third beyond the right edge of the screen.
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(waitForColumn(columns[i].window, columnFrame(i, 0), 1280))
            << "column " << i << ": " << describe(system->frame(columns[i].window));
    }
    ASSERT_TRUE(waitFor([&] { return settled(); }));
    // Where the one beyond the edge still reaches onto the screen, the visible column is in
    // front of it.
    EXPECT_TRUE(waitFor([&] {
        const std::optional<WindowRect> beyond = system->frame(columns[2].window);
        const bool onScreen =
            system->isMinimized(columns[2].window) == false && beyond && beyond->minX() < 1280;
        return !onScreen || stackingIndex(columns[1].window) < stackingIndex(columns[2].window);
    })) << "the visible column is not in front of the one beyond the edge";

    // One notch over the first column: a short flick moves the strip by a whole column.
    session.movePointer(300, 300);
    altClick(kWheelRight);
    ASSERT_TRUE(waitFor([&] { return chain->strip().offset == 650 && settled(); }))
        << chain->strip().offset;
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(waitForColumn(columns[i].window, columnFrame(i, 650), 1280))
            << "column " << i << ": " << describe(system->frame(columns[i].window));
    }

    // Outside the area the notch reaches the client, once, and the strip stays; the plain
    // click after it shows that nothing else was delivered in between.
    session.movePointer(850, 700);
    altClick(kWheelRight);
    click(1);
    ASSERT_TRUE(waitFor([&] { return outside.buttons().size() >= 2; })) << outside.buttons().size();
    EXPECT_EQ(outside.buttons(), (QList<int>{kWheelRight, 1}));
    EXPECT_EQ(chain->strip().targetOffset, 650);

    // Back over the second column, now at the left; then plain clicks on the first two columns
    // show that neither received a notch of the strip's.
    session.movePointer(300, 300);
    altClick(kWheelLeft);
    ASSERT_TRUE(waitFor([&] { return chain->strip().offset == 0 && settled(); }))
        << chain->strip().offset;
    ASSERT_TRUE(waitForFrame(columns[0].window, columnFrame(0, 0)));
    ASSERT_TRUE(waitForFrame(columns[1].window, columnFrame(1, 0)));
    click(1);
    session.movePointer(900, 300);
    click(1);
    ASSERT_TRUE(waitFor(
        [&] { return !columns[0].buttons().isEmpty() && !columns[1].buttons().isEmpty(); }));
    EXPECT_EQ(columns[0].buttons(), QList<int>{1});
    EXPECT_EQ(columns[1].buttons(), QList<int>{1});

    // The end puts every window back, shown, and lets go of Alt + wheel.
    chain->end();
    EXPECT_FALSE(chain->hasScrollTap());
    expectPutBack(columns, originals);
    session.movePointer(850, 700);
    altClick(kWheelLeft);
    EXPECT_TRUE(waitFor([&] { return outside.buttons().size() == 3; }));
}

// One frame of the scroll animation moves every column at once: a message each, no wait for the
// server, one write of them all once control returns to the event loop.
TEST_F(X11Chain, AnAnimationFrameMovesTheColumnsWithoutWaitingForTheServer) {
    InstalledApps apps;
    std::vector<ReportingClient> columns;
    for (const char* id : {"alpha", "beta", "gamma", "delta"}) {
        apps << testApplication(id);
        columns.push_back(client(id));
    }
    startChain({0, 0, 1280, 600}, 20, apps);
    ASSERT_TRUE(chain->isActive());
    ASSERT_TRUE(waitFor([&] { return settled(); }));

    // The first frame of the animation renders at once: columns 0 and 1 stay in view or leave
    // it, 2 and 3 do not come wholly into it, so none needs its size.
    const x11::Traffic before = system->traffic();
    chain->scrollTo(650);
    ASSERT_TRUE(chain->isAnimating());
    const x11::Traffic now = system->traffic();
    EXPECT_EQ(now.roundTrips, before.roundTrips);
    EXPECT_EQ(now.flushes, before.flushes);
    EXPECT_GT(now.requests, before.requests);
    EXPECT_LE(now.requests - before.requests, columns.size());
    QCoreApplication::processEvents();
    EXPECT_EQ(system->traffic().flushes, before.flushes + 1);
    ASSERT_TRUE(waitFor([&] { return settled(); }));
    chain->end();
}

// A real wheel sends its notches within milliseconds: all of them move the strip, although
// they reach the server faster than the program answers the grab's first one, and none reaches
// the window under the pointer. The pointer is the windows' again once the gesture settled.
TEST_F(X11Chain, ABurstOfNotchesMovesTheStripByEveryNotchAndReachesNoWindow) {
    // Columns of 170 starting 190 apart: ten notches (300 points) end nearest the third column,
    // a single notch would flick to the second.
    const WindowRect area{0, 0, 360, 600};
    InstalledApps apps;
    std::vector<ReportingClient> columns;
    for (const char* id : {"alpha", "beta", "gamma", "delta", "epsilon"}) {
        apps << testApplication(id);
        columns.push_back(client(id));
    }
    startChain(area, 20, apps);
    ASSERT_TRUE(chain->isActive());
    ASSERT_EQ(chain->strip().itemOffsets, (QList<double>{0, 190, 380, 570, 760}));
    ASSERT_TRUE(waitFor([&] { return settled(); }));
    ASSERT_TRUE(waitForFrame(columns[0].window, {0, 0, 170, 600}));

    session.movePointer(80, 300);
    session.pressKey(session.keycodeOf(kAltL), true);
    for (int notch = 0; notch < 10; ++notch) {
        session.pressButton(5, true);
        session.pressButton(5, false);
    }
    session.pressKey(session.keycodeOf(kAltL), false);
    ASSERT_TRUE(waitFor([&] { return chain->strip().offset == 380 && settled(); }))
        << chain->strip().offset;

    // The first column is still under the pointer: a click reaches it, and nothing before it.
    ASSERT_TRUE(waitForFrame(columns[2].window, {0, 0, 170, 600}));
    session.movePointer(80, 300);
    click(1);
    ASSERT_TRUE(waitFor([&] { return !columns[2].buttons().isEmpty(); }));
    for (ReportingClient& column : columns) {
        EXPECT_TRUE(column.buttons().isEmpty() || column.buttons() == QList<int>{1})
            << column.buttons().size() << " presses";
    }
    EXPECT_EQ(columns[2].buttons(), QList<int>{1});
    chain->end();
}

// The program's dots pill floats like the launcher panel: out of the taskbar and the pager of
// every window manager, whatever the toolkit makes of a tool window.
TEST_F(X11Chain, TheProgramsPillStaysOutOfTheTaskbarAndThePager) {
    std::vector<ReportingClient> columns;
    for (const char* id : {"alpha", "beta", "gamma"}) {
        testApplication(id);
        columns.push_back(client(id));
    }
    QProcess program;
    startProgram(program, {"alpha", "beta", "gamma"});
    ASSERT_TRUE(program.waitForStarted());
    const auto pid = static_cast<uint32_t>(program.processId());
    xcb_window_t pill = XCB_WINDOW_NONE;
    const bool shown = waitFor([&] {
        for (const uint32_t window : session.cardinals(session.root(), "_NET_CLIENT_LIST")) {
            if (session.cardinals(window, "_NET_WM_PID") == std::vector<uint32_t>{pid}) {
                pill = window;
                return true;
            }
        }
        return false;
    });
    if (shown) {
        const std::vector<uint32_t> states = session.cardinals(pill, "_NET_WM_STATE");
        for (const char* state : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
            EXPECT_NE(std::find(states.begin(), states.end(), session.atom(state)), states.end())
                << state;
        }
    }
    program.terminate();
    EXPECT_TRUE(program.waitForFinished());
    ASSERT_TRUE(shown) << "the program showed no pill";
}

// The command-line program stopped (SIGSTOP) during an Alt + wheel notch over the strip: the
// notch is the strip's all the same, decided without the program, and the click after it reaches
// the window under the pointer at once. The program moves the strip once it runs again; killed,
// it takes its grabs with it.
TEST_F(X11Chain, AStoppedProgramFreezesNoInput) {
    std::vector<ReportingClient> columns = threeColumns();
    QProcess program;
    ASSERT_TRUE(runProgramOn(program, columns)) << "the program did not arrange the windows";
    const std::optional<WindowRect> first = system->frame(columns[0].window);
    ASSERT_TRUE(first);
    // The column is made active first: window managers that act on a click into an inactive
    // window (kwin) would take the click for themselves.
    session.activate(columns[0].window);
    ASSERT_TRUE(waitFor([&] {
        const std::vector<uint32_t> active =
            session.cardinals(session.root(), "_NET_ACTIVE_WINDOW");
        return !active.empty() && active.front() == columns[0].window;
    }));

    const auto pid = static_cast<pid_t>(program.processId());
    ::kill(pid, SIGSTOP);
    session.movePointer(static_cast<int>(first->x + first->width / 2), 500);
    QElapsedTimer clicked;
    clicked.start();
    altClick(kWheelRight);
    click(1);
    const bool reached = waitFor([&] { return !columns[0].buttons().isEmpty(); });
    const qint64 took = clicked.elapsed();
    ::kill(pid, SIGCONT);
    ASSERT_TRUE(reached) << "the click never reached the window: the pointer is frozen";
    // Generous: it only tells a frozen pointer from a free one.
    EXPECT_LT(took, 2000) << "the click took " << took << " ms";
    EXPECT_EQ(columns[0].buttons(), QList<int>{1});

    // Running again, the program takes the notch: the next column comes to the first's place.
    EXPECT_TRUE(waitFor([&] {
        const std::optional<WindowRect> next = system->frame(columns[1].window);
        return next && std::abs(next->x - first->x) <= 6;
    })) << describe(system->frame(columns[1].window));

    program.kill();
    ASSERT_TRUE(program.waitForFinished());
    // Nobody holds Alt + wheel any more.
    EXPECT_TRUE(waitFor([&] { return altButtonFree(kWheelRight); }));
}

// SIGTERM ends the running strip: every window goes back where it was before the program
// ends, also those minimized out of view, although the program closes its connection at once.
TEST_F(X11Chain, ASignalPutsEveryWindowBack) {
    std::vector<ReportingClient> columns = threeColumns();
    const QList<WindowRect> originals = framesOf(columns);
    QProcess program;
    ASSERT_TRUE(runProgramOn(program, columns)) << "the program did not arrange the windows";
    program.terminate();
    ASSERT_TRUE(program.waitForFinished());
    EXPECT_EQ(program.exitCode(), 0);
    expectPutBack(columns, originals);
}

// The program's strip ends by itself once every window of it is closed, and the program with
// it.
TEST_F(X11Chain, TheProgramEndsOnceEveryWindowIsClosed) {
    closeEveryWindowOfTheProgram(false);
}

// A signal that comes after the strip noticed that its windows went is answered all the same.
TEST_F(X11Chain, ASignalAfterTheWindowsWentEndsTheProgram) {
    closeEveryWindowOfTheProgram(true);
}

// A window manager that exits lets go of the windows, and the next one takes them over: the
// strip keeps them meanwhile, still answers Ctrl+C, and puts every window back through the new
// window manager.
TEST_F(X11Chain, AfterTheWindowManagerIsReplacedCtrlCPutsEveryWindowBack) {
    std::vector<ReportingClient> columns = threeColumns();
    const QList<WindowRect> originals = framesOf(columns);
    QProcess program;
    ASSERT_TRUE(runProgramOn(program, columns)) << "the program did not arrange the windows";

    session.stopWindowManager();
    ASSERT_FALSE(system->canControlWindows());
    // Without a window manager for a few of the program's looks at its windows (every 0.35 s).
    QElapsedTimer away;
    away.start();
    waitFor([&] { return away.elapsed() > 1200 || program.state() == QProcess::NotRunning; });
    QString error;
    ASSERT_TRUE(session.startWindowManager(&error)) << error.toStdString();
    for (const ReportingClient& column : columns) {
        ASSERT_TRUE(waitManaged(column.window));
    }
    ASSERT_EQ(program.state(), QProcess::Running) << "the strip ended when its window manager went";

    ::kill(static_cast<pid_t>(program.processId()), SIGINT);
    const bool ended = waitEnded(program);
    if (!ended) {
        program.kill();
        program.waitForFinished();
    }
    ASSERT_TRUE(ended) << "the program did not answer SIGINT";
    expectPutBack(columns, originals);
}

// On a desktop that Qt scales by 2, the program keeps the design's numbers in points: the 24
// points between two columns are 48 X pixels, and the dot panel of a strip wider than the
// screen is twice its size in points, centred on the top edge of the area.
TEST_F(X11Chain, OnAScaledDesktopTheGapAndTheDotPanelAreInPoints) {
    constexpr double ratio = 2;
    std::vector<ReportingClient> columns;
    for (const char* id : {"alpha", "beta", "gamma"}) {
        testApplication(id);
        columns.push_back(client(id));
    }
    entryFolder.write("config/tessora/settings.json", R"({"windowSpacingEnabled": true})");
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", QString::fromLatin1(session.display()));
    environment.insert("XDG_DATA_DIRS", entryFolder.root());
    environment.insert("XDG_DATA_HOME", entryFolder.path("home"));
    environment.insert("XDG_CONFIG_HOME", entryFolder.path("config"));
    environment.insert("QT_SCALE_FACTOR", QString::number(ratio));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QStringLiteral(TESSORA_PROGRAM_PATH),
                  {"--arrange", chainLayoutId, "alpha", "beta", "gamma"});
    ASSERT_TRUE(program.waitForStarted());

    // This backend counts X pixels; the program's points are `ratio` of them.
    const WindowRect area = system->screens().first().visibleFrame;
    const WindowRect inPoints{area.x / ratio, area.y / ratio, area.width / ratio,
                              area.height / ratio};
    const WindowRect dots = ribbondots::panelFrame(inPoints, 3);
    const WindowRect expectedDots{dots.x * ratio, dots.y * ratio, dots.width * ratio,
                                  dots.height * ratio};
    std::optional<WindowRect> dotPanel;
    std::optional<WindowRect> left, right;
    const bool arranged = waitFor([&] {
        left = system->frame(columns[0].window);
        right = system->frame(columns[1].window);
        dotPanel = viewableWindowOfClass(session.root(), "tessora", 2);
        return left && right && std::abs(right->x - left->maxX() - 24 * ratio) <= 2 &&
               near(dotPanel, expectedDots, 2);
    });
    ::kill(static_cast<pid_t>(program.processId()), SIGINT);  // ends the session
    EXPECT_TRUE(program.waitForFinished());
    EXPECT_TRUE(arranged) << "columns " << describe(left) << " " << describe(right)
                          << ", dot panel " << describe(dotPanel) << " instead of "
                          << describe(expectedDots);
}

}  // namespace
}  // namespace tessora::testing
