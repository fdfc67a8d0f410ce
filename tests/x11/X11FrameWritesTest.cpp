// Frame writes on a real X server and window manager: only what changed is sent, a move costs
// no wait for the server, the writes of one pass go out together, and a request equal to the
// last one still moves a window that went elsewhere since.
#include "platform/x11/X11Connection.h"
#include "tests/x11/X11TestSession.h"

namespace tessora::testing {
namespace {

x11::Traffic since(X11WindowSystem& system, const x11::Traffic& before) {
    return system.traffic() - before;
}

class X11FrameWrites : public X11Test {
protected:
};

TEST_F(X11FrameWrites, MovesNeedNoWaitAndOnePassGoesOutInOneWrite) {
    std::vector<xcb_window_t> windows;
    for (int i = 0; i < 3; ++i) {
        windows.push_back(startClient({"--size", "300x200"}));
        ASSERT_TRUE(waitManaged(windows.back()));
    }
    const x11::Traffic before = system->traffic();
    for (int i = 0; i < 3; ++i) {
        system->setPosition(windows[i], 40 + 320 * i, 50);
    }
    const x11::Traffic pass = since(*system, before);
    EXPECT_EQ(pass.roundTrips, 0u);
    EXPECT_EQ(pass.flushes, 0u);
    // A message each, and watching each window written to for the first time.
    EXPECT_EQ(pass.requests, 6u);
    QCoreApplication::processEvents();
    EXPECT_EQ(since(*system, before).flushes, 1u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(waitFor([&] {
            const auto frame = system->frame(windows[i]);
            return frame && frame->x == 40 + 320 * i && frame->y == 50;
        })) << describe(system->frame(windows[i]));
    }

    // The decorations are known from those reads: a resize needs no read first either.
    const x11::Traffic resize = system->traffic();
    const WindowRect target{100, 300, 500, 400};
    system->setFrame(windows[0], target);
    EXPECT_EQ(since(*system, resize).roundTrips, 0u);
    EXPECT_TRUE(waitFor([&] { return near(system->frame(windows[0]), target, 0); }))
        << describe(system->frame(windows[0]));
}

TEST_F(X11FrameWrites, AnEqualRequestIsNotSentAgainUnlessTheWindowMovedSince) {
    const xcb_window_t window = startClient({"--size", "400x300"});
    ASSERT_TRUE(waitManaged(window));
    const WindowRect target{100, 80, 500, 400};
    system->setFrame(window, target);
    ASSERT_TRUE(waitFor([&] { return near(system->frame(window), target, 0); }))
        << describe(system->frame(window));
    const QRect placed = clientArea(window);

    x11::Traffic before = system->traffic();
    system->setFrame(window, target);
    system->setPosition(window, target.x, target.y);
    EXPECT_EQ(since(*system, before).requests, 0u);

    // Moved away by the user: the window manager's ConfigureNotify tells the backend, which
    // reads nothing of the window meanwhile, and the same request moves it back.
    const uint32_t watch[] = {XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_change_window_attributes(session.connection(), window, XCB_CW_EVENT_MASK, watch);
    session.move(window, 300, 200);
    const int movedX = 300 + placed.x() - static_cast<int>(target.x);  // the client, in root space
    ASSERT_TRUE(session.waitForEvent([&](const xcb_generic_event_t& event) {
        const auto& notify = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
        return event.response_type == (XCB_CONFIGURE_NOTIFY | 0x80) && notify.window == window &&
               notify.x == movedX;
    }));
    // Any round trip of the backend's own brings the event in, as the event loop does in the
    // application; here none reads the window.
    system->pointerLocation();
    before = system->traffic();
    system->setPosition(window, target.x, target.y);
    EXPECT_GT(since(*system, before).requests, 0u);
    EXPECT_TRUE(waitFor([&] { return clientArea(window).topLeft() == placed.topLeft(); }))
        << clientArea(window).x() << "," << clientArea(window).y();

    // A size between the client's increments is asked rounded down to them, whatever the window
    // manager would do: the window takes it, and the same request again sends nothing.
    const xcb_window_t stepped = startClient({"--size", "400x300", "--increments", "10x20"});
    ASSERT_TRUE(waitManaged(stepped));
    const double decorations = system->frame(stepped)->width - 400;
    const WindowRect uneven{0, 0, 505 + decorations, 600};
    system->setFrame(stepped, uneven);
    ASSERT_TRUE(waitFor([&] {
        const auto frame = system->frame(stepped);
        return frame && frame->x == 0 && frame->width == 500 + decorations;
    })) << describe(system->frame(stepped));
    before = system->traffic();
    system->setFrame(stepped, uneven);
    EXPECT_EQ(since(*system, before).requests, 0u);
}

}  // namespace
}  // namespace tessora::testing
