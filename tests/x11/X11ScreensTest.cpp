#include "platform/x11/X11Screens.h"
#include "tests/x11/X11TestSession.h"

namespace tessora::testing {
namespace {

using X11Screens = X11Test;

TEST_F(X11Screens, OneMonitorLessItsDock) {
    QList<Screen> screens = system->screens();
    ASSERT_EQ(screens.size(), 1);
    EXPECT_EQ(screens[0].frame, (WindowRect{0, 0, 1280, 800}));
    EXPECT_NE(screens[0].number, 0u);

    // A dock along the top reserves 40 pixels; openbox takes them off the work area.
    xcb_connection_t* c = session.connection();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t dock = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, dock, session.root(), 0, 0, 1280, 40, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    const uint32_t type = session.atom("_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, dock, session.atom("_NET_WM_WINDOW_TYPE"),
                        XCB_ATOM_ATOM, 32, 1, &type);
    const uint32_t strut[12] = {0, 0, 40, 0, 0, 0, 0, 0, 0, 1279, 0, 0};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, dock, session.atom("_NET_WM_STRUT_PARTIAL"),
                        XCB_ATOM_CARDINAL, 32, 12, strut);
    xcb_map_window(c, dock);
    xcb_flush(c);

    EXPECT_TRUE(session.waitUntil([&] {
        screens = system->screens();
        return screens.size() == 1 && screens[0].visibleFrame == WindowRect{0, 40, 1280, 760};
    })) << describe(screens.value(0).visibleFrame);

    // The dock is on screen, out of the normal layer.
    EXPECT_TRUE(session.waitUntil([&] {
        const QList<OnScreenWindow> shown = system->onScreenWindows();
        return std::any_of(shown.begin(), shown.end(), [&](const OnScreenWindow& w) {
            return w.window == dock && !w.normalLayer;
        });
    }));
}

TEST_F(X11Screens, SplitMonitorsPrimaryFirst) {
    QProcess* split =
        session.run(QStringLiteral("sh"),
                    {QStringLiteral("-c"),
                     QStringLiteral("xrandr --setmonitor LEFT 640/169x800/212+0+0 none && "
                                    "xrandr --setmonitor RIGHT 640/169x800/212+640+0 none")});
    ASSERT_TRUE(split->waitForFinished());
    QList<Screen> screens = system->screens();
    if (screens.size() == 1) {
        GTEST_SKIP() << "this X server does not take monitors set by xrandr";
    }
    ASSERT_GE(screens.size(), 2);
    EXPECT_EQ(screens[0].frame.x, 0);
    EXPECT_EQ(screens[0].frame.y, 0);
    EXPECT_NE(screens[0].number, screens[1].number);
}

TEST(X11ScreenStruts, DocksTakeTheirEdgeOfTheMonitorsTheyTouch) {
    const QSize root(2560, 800);
    const QRect left(0, 0, 1280, 800), right(1280, 0, 1280, 800);
    // A partial strut at the bottom of the right monitor only; a plain strut on the left edge.
    const std::vector<uint32_t> bottomRight = {0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 1280, 2559};
    const std::vector<uint32_t> leftEdge = {50, 0, 0, 0};
    EXPECT_EQ(x11::X11Screens::lessStruts(left, {bottomRight, leftEdge}, root),
              QRect(50, 0, 1230, 800));
    EXPECT_EQ(x11::X11Screens::lessStruts(right, {bottomRight, leftEdge}, root),
              QRect(1280, 0, 1280, 770));
    // Garbage that would reserve more than the monitor leaves an empty area, not a negative one.
    const std::vector<uint32_t> huge = {0xFFFFFFF0u, 0, 0, 0};
    EXPECT_GE(x11::X11Screens::lessStruts(left, {huge}, root).width(), 0);
}

}  // namespace
}  // namespace tessora::testing
