// Client-side decorated windows (GTK header bars): the client draws its own title bar inside an
// invisible shadow margin that it publishes as _GTK_FRAME_EXTENTS. What is read, written and
// listed is the part the user sees.
#include "platform/x11/X11WindowFacts.h"
#include "tests/x11/X11TestSession.h"

namespace tessora::testing {
namespace {

class X11HeaderBar : public X11Test {
protected:
    void setShadow(xcb_window_t window, xcb_atom_t type, std::vector<uint32_t> values) {
        xcb_change_property(session.connection(), XCB_PROP_MODE_REPLACE, window,
                            session.atom("_GTK_FRAME_EXTENTS"), type, 32,
                            static_cast<uint32_t>(values.size()), values.data());
        session.sync();
    }
};

TEST_F(X11HeaderBar, ReadsAndWritesPlaceWhatIsSeen) {
    // 23, 23, 15, 31: left, right, top, bottom.
    const xcb_window_t window = startClient({"--header-bar", "--size", "400x300"});
    ASSERT_TRUE(waitManaged(window));
    ASSERT_TRUE(session.waitUntil([&] {
        const auto f = system->frame(window);
        return f && f->width == 400 && f->height == 300;
    })) << describe(system->frame(window));
    const QRect client = clientArea(window);
    EXPECT_EQ(system->frame(window)->x, client.x() + 23 - 0.0);
    EXPECT_EQ(system->frame(window)->y, client.y() + 15 - 0.0);

    const WindowRect target{100, 80, 640, 480};
    system->setFrame(window, target);
    EXPECT_TRUE(session.waitUntil([&] { return near(system->frame(window), target, 0); }))
        << describe(system->frame(window));
    EXPECT_EQ(clientArea(window), QRect(100 - 23, 80 - 15, 640 + 46, 480 + 46));

    system->setPosition(window, 300, 200);
    const WindowRect moved{300, 200, 640, 480};
    EXPECT_TRUE(session.waitUntil([&] { return near(system->frame(window), moved, 0); }))
        << describe(system->frame(window));

    // The list the stack indicator and the on-screen checks read agrees.
    const QList<OnScreenWindow> shown = system->onScreenWindows();
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(near(shown.front().frame, moved, 0)) << describe(shown.front().frame);
}

TEST_F(X11HeaderBar, TheMinimumSizeIsWhatIsSeen) {
    // The size hint says 446x346: the minimum of what is seen is 400x300.
    const xcb_window_t window =
        startClient({"--header-bar", "--size", "500x400", "--min-size", "400x300"});
    ASSERT_TRUE(waitManaged(window));
    system->setFrame(window, {50, 60, 100, 100});
    ASSERT_TRUE(session.waitUntil([&] {
        const auto f = system->frame(window);
        return f && f->x == 50 && f->y == 60;
    })) << describe(system->frame(window));
    EXPECT_TRUE(session.waitUntil([&] {
        return near(system->frame(window), WindowRect{50, 60, 400, 300}, 0);
    })) << describe(system->frame(window));
}

// _GTK_FRAME_EXTENTS is another client's property: anything it holds that is not a shadow is
// ignored or held to what a shadow can be, and never takes the window out of reach.
TEST_F(X11HeaderBar, HostileShadowsAreIgnoredOrHeld) {
    const xcb_window_t window = startClient({"--size", "400x300", "--undecorated"});
    ASSERT_TRUE(waitManaged(window));
    const WindowRect plain{0, 0, 400, 300};
    auto readsAs = [&](const WindowRect& expected) {
        const auto f = system->frame(window);
        return f && f->width == expected.width && f->height == expected.height;
    };
    ASSERT_TRUE(session.waitUntil([&] { return readsAs(plain); }));

    setShadow(window, XCB_ATOM_ATOM, {10, 10, 10, 10});  // of another type
    EXPECT_TRUE(readsAs(plain)) << describe(system->frame(window));
    setShadow(window, XCB_ATOM_CARDINAL, {10, 10});  // short
    EXPECT_TRUE(readsAs(plain)) << describe(system->frame(window));
    setShadow(window, XCB_ATOM_CARDINAL, {10, 10, 10, 10, 10});  // long
    EXPECT_TRUE(readsAs(plain)) << describe(system->frame(window));
    setShadow(window, XCB_ATOM_CARDINAL, {0xFFFFFFF6u, 10, 10, 10});  // -10
    EXPECT_TRUE(readsAs(plain)) << describe(system->frame(window));
    setShadow(window, XCB_ATOM_CARDINAL, {200, 200, 10, 10});  // nothing left to see
    EXPECT_TRUE(readsAs(plain)) << describe(system->frame(window));
    setShadow(window, XCB_ATOM_CARDINAL, {10, 20, 30, 40});
    EXPECT_TRUE(readsAs({0, 0, 370, 230})) << describe(system->frame(window));

    // Values no shadow has are held to the widest one.
    EXPECT_EQ(x11::plausibleShadow(std::vector<uint32_t>{1000, 0, 0, 0}, QSize(2000, 100)),
              QMargins(256, 0, 0, 0));
    EXPECT_EQ(x11::plausibleShadow(std::vector<uint32_t>{5000, 0, 0, 0}, QSize(20000, 100)),
              QMargins());
    EXPECT_TRUE(system->canControlWindows());
}

}  // namespace
}  // namespace tessora::testing
