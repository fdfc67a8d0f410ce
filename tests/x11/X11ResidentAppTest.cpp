// The resident application as a user meets it: the real program on Xvfb with openbox, reached
// through the hot key, keys and clicks made with XTEST.
#include "tests/support/x11/ResidentApp.h"
#include "tests/support/x11/XSession.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <QPoint>
#include <QProcess>
#include <algorithm>
#include <cstdlib>

namespace tessora::testing {
namespace {

constexpr uint32_t kEscape = 0xff1b;
constexpr uint32_t kControlL = 0xffe3;
constexpr uint32_t kNumLock = 0xff7f;
constexpr uint32_t kCapsLock = 0xffe5;

class ResidentAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(session.start(&error)) << error.toStdString();
    }

    // Whether our test connection can take `keysym` with Ctrl as a hot key (then lets it go).
    bool canGrabCtrl(uint32_t keysym) {
        xcb_connection_t* c = session.connection();
        const uint8_t key = session.keycodeOf(keysym);
        xcb_generic_error_t* error = xcb_request_check(
            c, xcb_grab_key_checked(c, 1, session.root(), XCB_MOD_MASK_CONTROL, key,
                                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        const bool free = error == nullptr;
        std::free(error);
        if (free) {
            xcb_ungrab_key(c, key, session.root(), XCB_MOD_MASK_CONTROL);
            session.sync();
        }
        return free;
    }

    QByteArray windowClass(xcb_window_t window) { return session.bytes(window, XCB_ATOM_WM_CLASS); }

    // A window of ours shown at the size of a tray icon: the icon, embedded in whatever tray
    // the session has (to `depth` levels below `parent`).
    std::optional<xcb_window_t> findTrayIcon(xcb_window_t parent, int depth) {
        xcb_connection_t* c = session.connection();
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, parent), nullptr);
        if (!tree) {
            return std::nullopt;
        }
        std::optional<xcb_window_t> found;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree) && !found; ++i) {
            if (windowClass(children[i]).contains("tessora")) {
                xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
                    c, xcb_get_window_attributes(c, children[i]), nullptr);
                xcb_get_geometry_reply_t* geometry =
                    xcb_get_geometry_reply(c, xcb_get_geometry(c, children[i]), nullptr);
                if (attributes && geometry && attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
                    geometry->width <= 64 && geometry->height <= 64 && !isTooltip(children[i])) {
                    found = children[i];
                }
                std::free(attributes);
                std::free(geometry);
            }
            if (!found && depth > 0) {
                found = findTrayIcon(children[i], depth - 1);
            }
        }
        std::free(tree);
        return found;
    }

    // Whether the window says it is a tooltip (one shows while the pointer rests on the tray
    // icon; it is a popup, but not the menu).
    bool isTooltip(xcb_window_t window) {
        xcb_connection_t* c = session.connection();
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            c,
            xcb_get_property(c, 0, window, session.atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 0,
                             16),
            nullptr);
        bool tooltip = false;
        if (reply && reply->format == 32) {
            const auto* types = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
            const int count = xcb_get_property_value_length(reply) / 4;
            tooltip = std::find(types, types + count,
                                session.atom("_NET_WM_WINDOW_TYPE_TOOLTIP")) != types + count;
        }
        std::free(reply);
        return tooltip;
    }

    // The first window under `parent` (to `depth` levels) whose class contains `name`, and
    // whether it must be a viewable, override-redirect popup other than a tooltip.
    std::optional<xcb_window_t> findWindow(xcb_window_t parent, const QByteArray& name, int depth,
                                           bool popup = false) {
        xcb_connection_t* c = session.connection();
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, parent), nullptr);
        if (!tree) {
            return std::nullopt;
        }
        std::optional<xcb_window_t> found;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree) && !found; ++i) {
            bool matches = windowClass(children[i]).contains(name);
            if (matches && popup) {
                xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
                    c, xcb_get_window_attributes(c, children[i]), nullptr);
                matches = attributes && attributes->override_redirect &&
                          attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
                          !isTooltip(children[i]);
                std::free(attributes);
            }
            if (matches) {
                found = children[i];
            } else if (depth > 0) {
                found = findWindow(children[i], name, depth - 1, popup);
            }
        }
        std::free(tree);
        return found;
    }

    void startApp(ResidentApp& app) {
        QString error;
        ASSERT_TRUE(app.start(&error)) << error.toStdString();
    }

    XSession session;
};

TEST_F(ResidentAppTest, HotKeyTogglesThePanelInEveryLockStateAndIsReleasedAtExit) {
    ResidentApp app(session, QStringLiteral(TESSORA_PROGRAM_PATH));
    startApp(app);
    EXPECT_FALSE(canGrabCtrl(kEscape)) << "the hot key is not held";

    const std::vector<std::vector<uint32_t>> lockStates = {
        {}, {kNumLock}, {kCapsLock}, {kNumLock, kCapsLock}};
    for (const auto& locks : lockStates) {
        for (uint32_t lock : locks) {
            app.tapKey(lock);
        }
        app.pressShortcut();
        EXPECT_TRUE(app.waitPanelShown()) << "locks on: " << locks.size();
        app.pressShortcut();
        EXPECT_TRUE(app.waitPanelHidden()) << "locks on: " << locks.size();
        for (uint32_t lock : locks) {
            app.tapKey(lock);  // off again
        }
    }

    EXPECT_EQ(app.quit(), 0) << app.errors().toStdString();
    EXPECT_TRUE(canGrabCtrl(kEscape)) << "the hot key outlived the program";
}

TEST_F(ResidentAppTest, ATakenHotKeyIsReportedAndTheLauncherStillOpensOnASecondStart) {
    // Another client holds Ctrl+Escape (some window managers hold it already; then theirs
    // stands in for ours).
    xcb_connection_t* c = session.connection();
    const uint8_t escape = session.keycodeOf(kEscape);
    std::free(xcb_request_check(
        c, xcb_grab_key_checked(c, 1, session.root(), XCB_MOD_MASK_CONTROL, escape,
                                XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)));
    session.sync();

    // A session bus of the test's own, over which a second start reaches the first.
    QProcess bus;
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--session"), QStringLiteral("--nofork"),
               QStringLiteral("--print-address=1")});
    ASSERT_TRUE(bus.waitForReadyRead(20000)) << bus.readAllStandardError().toStdString();
    const QString address = QString::fromUtf8(bus.readLine().trimmed());
    QProcessEnvironment withBus;
    withBus.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);

    ResidentApp app(session, QStringLiteral(TESSORA_PROGRAM_PATH));
    QString error;
    ASSERT_TRUE(app.start(&error, withBus)) << error.toStdString();
    const QByteArray said = app.errors();
    EXPECT_TRUE(said.contains("This shortcut is unavailable. Try another combination."))
        << said.toStdString();
    // No shortcut was ever registered, so none "remains active".
    EXPECT_FALSE(said.contains("previous shortcut")) << said.toStdString();
    EXPECT_TRUE(said.contains("the launcher opens from the tray menu")) << said.toStdString();
    EXPECT_EQ(app.process().state(), QProcess::Running);

    QProcess second;
    second.setProcessEnvironment(app.process().processEnvironment());
    second.start(QStringLiteral(TESSORA_PROGRAM_PATH), {});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_TRUE(app.waitPanelShown()) << app.errors().toStdString();
    EXPECT_EQ(app.quit(), 0);
    bus.terminate();
    bus.waitForFinished(20000);
}

// Without a session bus the display still keeps one resident: a later start (with a home of
// its own, even) asks the first to show its launcher and ends. Once the first has gone, the
// next start is the resident.
TEST_F(ResidentAppTest, WithoutABusASecondStartShowsTheFirstOnesLauncher) {
    ResidentApp app(session, QStringLiteral(TESSORA_PROGRAM_PATH));
    QString error;
    ASSERT_TRUE(app.start(&error)) << error.toStdString();

    ResidentApp later(session, QStringLiteral(TESSORA_PROGRAM_PATH));
    EXPECT_FALSE(later.start(&error)) << "a second resident got ready";
    ASSERT_TRUE(later.process().state() == QProcess::NotRunning ||
                later.process().waitForFinished(20000));
    EXPECT_EQ(later.process().exitCode(), 0) << later.errors().toStdString();
    EXPECT_TRUE(app.waitPanelShown()) << app.errors().toStdString();
    EXPECT_EQ(app.quit(), 0);

    ResidentApp next(session, QStringLiteral(TESSORA_PROGRAM_PATH));
    ASSERT_TRUE(next.start(&error)) << error.toStdString();
    EXPECT_EQ(next.quit(), 0);
}

TEST_F(ResidentAppTest, ThePanelOpensOnTheMonitorUnderThePointer) {
    // Two monitors side by side on the one Xvfb screen (1280 x 800).
    QProcess xrandr;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(session.display()));
    xrandr.setProcessEnvironment(env);
    xrandr.start(QStringLiteral("sh"),
                 {QStringLiteral("-c"),
                  QStringLiteral("xrandr --setmonitor left 640/170x800/280+0+0 screen && "
                                 "xrandr --setmonitor right 640/170x800/280+640+0 none")});
    ASSERT_TRUE(xrandr.waitForFinished(20000));
    ASSERT_EQ(xrandr.exitCode(), 0) << xrandr.readAllStandardError().toStdString();

    ResidentApp app(session, QStringLiteral(TESSORA_PROGRAM_PATH));
    startApp(app);
    for (const int pointerX : {900, 100}) {
        session.movePointer(pointerX, 400);
        app.pressShortcut();
        ASSERT_TRUE(app.waitPanelShown());
        const int monitorX = pointerX >= 640 ? 640 : 0;
        // Centred on the monitor, its top 80 below the monitor's top (some window managers
        // apply a mapped window's position a moment after its map).
        std::optional<QRect> frame;
        EXPECT_TRUE(session.waitUntil([&] {
            frame = app.panelGeometry();
            return frame && std::abs(frame->center().x() - (monitorX + 320)) <= 2 &&
                   frame->top() == 80;
        })) << pointerX
            << ": " << (frame ? frame->x() : -1) << "," << (frame ? frame->y() : -1);
        ASSERT_TRUE(frame);
        app.tapKey(kEscape);
        ASSERT_TRUE(app.waitPanelHidden()) << app.errors().toStdString() << frame->x();
    }
}

TEST_F(ResidentAppTest, DraggingThePanelsBackgroundMovesItUntilItIsShownAgain) {
    ResidentApp app(session, QStringLiteral(TESSORA_PROGRAM_PATH));
    startApp(app);
    app.pressShortcut();
    ASSERT_TRUE(app.waitPanelShown());
    std::optional<QRect> placed;
    ASSERT_TRUE(session.waitUntil([&] {
        placed = app.panelGeometry();
        return placed && placed->top() == 80;
    }));
    // Dragged once it is in front with the focus, as a user sees it (mutter drops now and then
    // a press on a window it has not focused yet).
    ASSERT_TRUE(app.waitPanelActive());

    // The background beside the search bar's rounded end, dragged in steps as a hand does.
    const QPoint grabbed = placed->topLeft() + QPoint(14, 44);
    session.movePointer(grabbed.x(), grabbed.y());
    // The window manager's move has begun once the panel asked for it (the request goes to the
    // root window, where the session listens) and the window manager then took the pointer out
    // of the panel: by its grab, or by a window it maps over the screen for the move (kwin).
    const std::optional<xcb_window_t> panel = app.panelWindow();
    ASSERT_TRUE(panel);
    const uint32_t crossings = XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW;
    xcb_change_window_attributes(session.connection(), *panel, XCB_CW_EVENT_MASK, &crossings);
    session.sync();
    session.pressButton(1, true);
    ASSERT_TRUE(session.waitForEvent([&](const xcb_generic_event_t& event) {
        const auto& message = reinterpret_cast<const xcb_client_message_event_t&>(event);
        return (event.response_type & 0x7f) == XCB_CLIENT_MESSAGE && message.window == *panel &&
               message.type == session.atom("_NET_WM_MOVERESIZE");
    })) << "the panel asked for no move";
    ASSERT_TRUE(session.waitForEvent([&](const xcb_generic_event_t& event) {
        const auto& leave = reinterpret_cast<const xcb_leave_notify_event_t&>(event);
        return (event.response_type & 0x7f) == XCB_LEAVE_NOTIFY && leave.event == *panel &&
               leave.detail != XCB_NOTIFY_DETAIL_INFERIOR;
    })) << "the window manager began no move";
    const QPoint travel(120, 60);
    for (int step = 1; step <= 6; ++step) {
        const QPoint at = grabbed + travel * step / 6;
        session.movePointer(at.x(), at.y());
        session.sync();
    }
    // A hand never holds quite still: the pointer goes on trembling around where it stopped
    // until the panel is there (a window manager may take up the move a moment after its grab).
    std::optional<QRect> dragged;
    int tremble = 0;  // odd while the pointer is a pixel off where it stopped
    EXPECT_TRUE(session.waitUntil([&] {
        dragged = app.panelGeometry();
        if (tremble % 2 == 0 && dragged && dragged->topLeft() == placed->topLeft() + travel) {
            return true;
        }
        const QPoint at = grabbed + travel + QPoint(++tremble % 2, 0);
        session.movePointer(at.x(), at.y());
        return false;
    })) << (dragged ? dragged->x() : -1)
        << "," << (dragged ? dragged->y() : -1);
    session.pressButton(1, false);
    // The move has ended once the window manager gives the pointer back to the panel.
    ASSERT_TRUE(session.waitForEvent([&](const xcb_generic_event_t& event) {
        const auto& enter = reinterpret_cast<const xcb_enter_notify_event_t&>(event);
        return (event.response_type & 0x7f) == XCB_ENTER_NOTIFY && enter.event == *panel &&
               enter.detail != XCB_NOTIFY_DETAIL_INFERIOR;
    })) << "the move did not end";

    // It stays where it was put, and the next showing places it by the rule again.
    EXPECT_EQ(app.panelGeometry(), dragged);
    app.pressShortcut();  // the hot key hides it too, wherever the focus went
    ASSERT_TRUE(app.waitPanelHidden());
    app.pressShortcut();
    ASSERT_TRUE(app.waitPanelShown());
    std::optional<QRect> shownAgain;
    EXPECT_TRUE(session.waitUntil([&] {
        shownAgain = app.panelGeometry();
        return shownAgain && shownAgain->topLeft() == placed->topLeft();
    })) << (shownAgain ? shownAgain->x() : -1)
        << "," << (shownAgain ? shownAgain->y() : -1);
    if (HasFailure()) {
        ADD_FAILURE() << app.errors().toStdString();
    }
}

TEST_F(ResidentAppTest, ThePanelHidesOnEscapeAClickOutsideAndAnotherApplication) {
    const std::vector<xcb_window_t> others = session.startClient({});
    ASSERT_FALSE(others.empty());
    ResidentApp app(session, QStringLiteral(TESSORA_PROGRAM_PATH));
    startApp(app);

    app.pressShortcut();
    ASSERT_TRUE(app.waitPanelShown());
    app.tapKey(kEscape, {kControlL});  // Ctrl+Escape again toggles; plain Escape follows
    ASSERT_TRUE(app.waitPanelHidden());
    app.pressShortcut();
    ASSERT_TRUE(app.waitPanelShown()) << app.errors().toStdString();
    app.tapKey(kEscape);
    EXPECT_TRUE(app.waitPanelHidden()) << "Escape" << app.errors().toStdString();

    app.pressShortcut();
    ASSERT_TRUE(app.waitPanelShown());
    app.click(1200, 700);
    EXPECT_TRUE(app.waitPanelHidden()) << "click outside";

    app.pressShortcut();
    ASSERT_TRUE(app.waitPanelShown()) << app.errors().toStdString();
    // Another application that comes to the front after the panel has taken the focus.
    ASSERT_TRUE(app.waitPanelActive());
    const std::vector<xcb_window_t> another = session.startClient({});
    ASSERT_FALSE(another.empty());
    session.activate(another.front());
    EXPECT_TRUE(app.waitPanelHidden()) << "another application in front";
    if (HasFailure()) {
        ADD_FAILURE() << app.errors().toStdString();
    }
}

TEST_F(ResidentAppTest, TheTrayIconSitsInARealTrayAndOpensItsMenu) {
    xcb_connection_t* c = session.connection();
    const xcb_atom_t selection = session.atom("_NET_SYSTEM_TRAY_S0");
    const auto trayOwned = [&] {
        xcb_get_selection_owner_reply_t* owner =
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
        const bool owned = owner && owner->owner != XCB_WINDOW_NONE;
        std::free(owner);
        return owned;
    };
    // The window manager's own tray where it has one (fluxbox's toolbar), else trayer; a tray
    // is there once it owns the system tray selection.
    if (!trayOwned()) {
        QProcess* tray = session.run(
            QStringLiteral("trayer"),
            {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
             QStringLiteral("center"), QStringLiteral("--widthtype"), QStringLiteral("request")});
        ASSERT_TRUE(session.waitUntil(trayOwned)) << tray->state();
    }

    ResidentApp app(session, QStringLiteral(TESSORA_PROGRAM_PATH));
    startApp(app);
    std::optional<xcb_window_t> icon;
    ASSERT_TRUE(session.waitUntil([&] {
        icon = findTrayIcon(session.root(), 6);
        return icon.has_value();
    })) << "the icon was not embedded in the tray "
        << app.errors().toStdString();

    xcb_translate_coordinates_reply_t* origin = xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, *icon, session.root(), 0, 0), nullptr);
    ASSERT_NE(origin, nullptr);
    const int x = origin->dst_x + 8;
    const int y = origin->dst_y + 8;
    std::free(origin);
    // A click that arrives while the tray is still embedding the icon (kwin's trayer session) can
    // go to the tray instead: the user would click again, and so does the test.
    bool shown = false;
    for (int attempt = 0; attempt < 3 && !shown; ++attempt) {
        app.click(x, y, 3);
        shown = session.waitUntil(
            [&] { return findWindow(session.root(), "tessora", 0, true).has_value(); });
    }
    EXPECT_TRUE(shown) << "no menu";
    // The menu takes the keyboard a moment after it appears: an Escape typed before that goes
    // elsewhere, so Escape is typed until the menu has gone.
    EXPECT_TRUE(session.waitUntil([&] {
        if (!findWindow(session.root(), "tessora", 0, true)) {
            return true;
        }
        app.tapKey(kEscape);
        return false;
    })) << "the menu stayed";
    EXPECT_EQ(app.quit(), 0);
}

// On a scaled desktop the panel keeps its size in points: 544 x 550 points are that many
// logical pixels of Qt, drawn whole in a window of 544 x 550 times the ratio in X pixels, 80
// points below the monitor's top. The desktop is scaled for Qt alone (QT_SCALE_FACTOR) or for
// every toolkit (Xft.dpi).
struct Scaling {
    const char* name;
    double ratio;
    bool byXftDpi;
};

class ScaledResidentAppTest : public ::testing::TestWithParam<Scaling> {
protected:
    void SetUp() override {
        session.setScreenSize(2560, 1600);
        QString error;
        ASSERT_TRUE(session.start(&error)) << error.toStdString();
    }

    // Runs a program on the session's display and waits for it; whether it succeeded.
    bool runOnDisplay(const QString& program, const QStringList& arguments,
                      const QByteArray& input = {}) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(session.display()));
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        process.write(input);
        process.closeWriteChannel();
        return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

    XSession session;
};

TEST_P(ScaledResidentAppTest, ThePanelIsLaidOutInPoints) {
    const Scaling scaling = GetParam();
    const double ratio = scaling.ratio;
    ResidentApp app(session, QStringLiteral(TESSORA_PROGRAM_PATH));
    QProcessEnvironment scaled;
    if (scaling.byXftDpi) {
        ASSERT_TRUE(runOnDisplay(QStringLiteral("xrdb"), {QStringLiteral("-merge")},
                                 "Xft.dpi: " + QByteArray::number(96 * ratio) + "\n"));
    } else {
        scaled.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(ratio));
    }
    QString error;
    ASSERT_TRUE(app.start(&error, scaled)) << error.toStdString();
    session.movePointer(1280, 800);
    app.pressShortcut();
    ASSERT_TRUE(app.waitPanelShown()) << app.errors().toStdString();
    const std::optional<QRect> frame = app.panelGeometry();
    ASSERT_TRUE(frame);
    EXPECT_NEAR(frame->width(), 544 * ratio, 1);
    EXPECT_NEAR(frame->height(), 550 * ratio, 1);
    EXPECT_NEAR(frame->center().x(), 1280, 2);
    EXPECT_NEAR(frame->top(), 80 * ratio, 1);

    // For a look at it: `import` saves the screen, with a search typed into the panel, where
    // the test is told to.
    if (const QString folder = qEnvironmentVariable("TESSORA_TEST_SCREENSHOTS");
        !folder.isEmpty() && app.waitPanelActive()) {
        for (const uint32_t letter : {'x', 't'}) {
            app.tapKey(letter);
        }
        session.sync();
        runOnDisplay(QStringLiteral("import"),
                     {QStringLiteral("-window"), QStringLiteral("root"),
                      QStringLiteral("%1/panel-%2.png").arg(folder, scaling.name)});
    }
    EXPECT_EQ(app.quit(), 0) << app.errors().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Ratios, ScaledResidentAppTest,
                         ::testing::Values(Scaling{"QtScaleFactorOneAndAHalf", 1.5, false},
                                           Scaling{"QtScaleFactorTwo", 2.0, false},
                                           Scaling{"XftDpi192", 2.0, true}),
                         [](const ::testing::TestParamInfo<Scaling>& param) {
                             return std::string(param.param.name);
                         });

}  // namespace
}  // namespace tessora::testing
