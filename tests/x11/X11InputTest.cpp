#include "tests/x11/X11TestSession.h"

#include <poll.h>
#include <QElapsedTimer>
#include <chrono>
#include <stdexcept>

namespace tessora::testing {
namespace {

constexpr uint32_t kAltL = 0xffe9, kSuperL = 0xffeb, kLeft = 0xff51, kNumLock = 0xff7f,
                   kCapsLock = 0xffe5;

// A window of another client covering the screen, on top, with the focus: what it receives is
// what the grabs passed on.
class Probe {
public:
    explicit Probe(const QByteArray& display) : m_c(xcb_connect(display.constData(), nullptr)) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        m_window = xcb_generate_id(m_c);
        const uint32_t values[] = {1, XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_KEY_PRESS};
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1280, 800, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
        xcb_map_window(m_c, m_window);
        xcb_set_input_focus(m_c, XCB_INPUT_FOCUS_POINTER_ROOT, m_window, XCB_CURRENT_TIME);
        std::free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr));
    }
    ~Probe() { xcb_disconnect(m_c); }

    // The key codes pressed in the window so far.
    std::vector<uint8_t> presses() {
        read();
        return m_presses;
    }
    // The buttons pressed in the window so far.
    std::vector<uint8_t> buttons() {
        read();
        return m_buttons;
    }
    // Waits on the window's own connection, whatever the test's thread does not do meanwhile,
    // until `count` buttons were pressed in it; false after `limit`.
    bool waitForButtons(std::size_t count, std::chrono::milliseconds limit) {
        QElapsedTimer waited;
        waited.start();
        while (buttons().size() < count) {
            const qint64 left = limit.count() - waited.elapsed();
            if (left <= 0) {
                return false;
            }
            pollfd readable{xcb_get_file_descriptor(m_c), POLLIN, 0};
            poll(&readable, 1, static_cast<int>(left));
        }
        return true;
    }

private:
    void read() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_c)) {
            const uint8_t type = event->response_type & 0x7f;
            if (type == XCB_BUTTON_PRESS || type == XCB_KEY_PRESS) {
                const auto* press = reinterpret_cast<xcb_button_press_event_t*>(event);
                (type == XCB_BUTTON_PRESS ? m_buttons : m_presses).push_back(press->detail);
            }
            std::free(event);
        }
    }

    xcb_connection_t* m_c;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    std::vector<uint8_t> m_presses;
    std::vector<uint8_t> m_buttons;
};

class X11Input : public X11Test {
protected:
};

// The left half of the screen is the grab's: Alt+scroll there is taken at once, and passed on
// at once elsewhere; a handler that fails loses only its own event.
TEST_F(X11Input, AltScrollIsTakenInsideItsAreaAndPassedOnElsewhere) {
    Probe probe(session.display());
    QList<ScrollInput> seen;
    auto grab = system->grabOptionScroll({{0, 0, 640, 800}, {}}, [&](const ScrollInput& input) {
        seen << input;
        if (seen.size() == 2) {
            throw std::runtime_error("handler failed");
        }
    });
    ASSERT_TRUE(grab);

    // One notch at a time, each settled before the next: presses that Xvfb queued while the
    // pointer was frozen were seen to skip the passive grab once it thawed.
    withKey(kAltL, true);
    session.movePointer(300, 200);
    click(4);  // taken
    ASSERT_TRUE(waitFor([&] { return seen.size() == 1; }));
    session.movePointer(900, 200);
    click(5);  // passed on
    ASSERT_TRUE(probe.waitForButtons(1, std::chrono::seconds(10)));
    session.movePointer(300, 200);
    click(6);  // taken; the handler throws
    ASSERT_TRUE(waitFor([&] { return seen.size() == 2; }));
    withKey(kAltL, false);
    click(1);  // no grab: straight to the window, so nothing stayed frozen

    ASSERT_TRUE(probe.waitForButtons(2, std::chrono::seconds(10)))
        << probe.buttons().size() << " presses, " << seen.size() << " scrolls";
    EXPECT_EQ(probe.buttons(), (std::vector<uint8_t>{5, 1}));
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0].deltaY, 1.0);
    EXPECT_EQ(seen[0].modifiers, KeyModifier::Alt);
    EXPECT_EQ(seen[0].location, QPointF(300, 200));
    EXPECT_EQ(seen[1].deltaX, 1.0);

    // Released with its handle: Alt+scroll reaches the window again.
    grab.reset();
    ASSERT_TRUE(waitFor([&] { return altButtonFree(4); }));
    withKey(kAltL, true);
    click(4);
    withKey(kAltL, false);
    EXPECT_TRUE(probe.waitForButtons(3, std::chrono::seconds(10)));
    EXPECT_EQ(probe.buttons(), (std::vector<uint8_t>{5, 1, 4}));
    EXPECT_EQ(seen.size(), 2);
}

// The program's own thread never looks at its events here: the notch it takes and the click
// after it are decided without it, and the click reaches the window at once. The handler hears
// of the notch once the thread gets to it.
TEST_F(X11Input, AProgramThatDoesNotAnswerFreezesNoInput) {
    Probe probe(session.display());
    QList<ScrollInput> seen;
    auto grab = system->grabOptionScroll({{0, 0, 640, 800}, std::chrono::milliseconds(160)},
                                         [&](const ScrollInput& input) { seen << input; });
    ASSERT_TRUE(grab);

    session.movePointer(300, 200);
    withKey(kAltL, true);
    click(5);
    withKey(kAltL, false);
    click(1);
    // Generous: it only tells a frozen pointer from a free one.
    ASSERT_TRUE(probe.waitForButtons(1, std::chrono::seconds(2))) << "the pointer is frozen";
    EXPECT_EQ(probe.buttons(), std::vector<uint8_t>{1});
    EXPECT_TRUE(seen.isEmpty());

    ASSERT_TRUE(waitFor([&] { return seen.size() == 1; }));
    EXPECT_EQ(seen[0].deltaY, -1.0);
}

// A fast wheel: the notches reach the server faster than any answer. The gesture keeps them
// all, none reaches the window under the pointer, and a click ends the gesture and reaches the
// window.
TEST_F(X11Input, AGestureKeepsEveryNotchOfABurstAndAClickEndsIt) {
    Probe probe(session.display());
    QList<ScrollInput> seen;
    auto grab = system->grabOptionScroll({{0, 0, 640, 800}, std::chrono::milliseconds(500)},
                                         [&](const ScrollInput& input) { seen << input; });
    ASSERT_TRUE(grab);

    session.movePointer(300, 200);
    withKey(kAltL, true);
    for (int notch = 0; notch < 10; ++notch) {
        click(5);
    }
    withKey(kAltL, false);
    click(1);
    ASSERT_TRUE(probe.waitForButtons(1, std::chrono::seconds(2))) << "the pointer is frozen";
    ASSERT_TRUE(waitFor([&] { return seen.size() == 10; })) << seen.size() << " notches";
    EXPECT_EQ(probe.buttons(), std::vector<uint8_t>{1});

    // The click ended the gesture: Alt+scroll outside the area is the window's again.
    session.movePointer(900, 200);
    withKey(kAltL, true);
    click(4);
    withKey(kAltL, false);
    ASSERT_TRUE(probe.waitForButtons(2, std::chrono::seconds(10)));
    EXPECT_EQ(probe.buttons(), (std::vector<uint8_t>{1, 4}));
    EXPECT_EQ(seen.size(), 10);
}

TEST_F(X11Input, LockKeysDoNotDefeatTheGrabs) {
    Probe probe(session.display());
    QList<KeyStroke> keys;
    auto grab = system->grabCycleKeys([&](const KeyStroke& input) { keys << input; });
    ASSERT_TRUE(grab);

    auto cycle = [&] {
        withKey(kSuperL, true);
        withKey(kAltL, true);
        tapKey(kLeft);
        withKey(kAltL, false);
        withKey(kSuperL, false);
    };
    cycle();
    tapKey(kNumLock);
    cycle();
    tapKey(kCapsLock);
    cycle();
    tapKey(kNumLock);
    tapKey(kCapsLock);
    tapKey(kLeft);  // plain Left is not grabbed

    ASSERT_TRUE(waitFor([&] { return keys.size() == 3; }));
    for (const KeyStroke& key : keys) {
        EXPECT_EQ(key.key, keysym::left);
        EXPECT_EQ(key.modifiers, KeyModifier::Super | KeyModifier::Alt);
    }
    // The window saw the lock keys and the plain Left, never a swallowed Left.
    const uint8_t left = session.keycodeOf(kLeft);
    EXPECT_TRUE(waitFor([&] {
        const std::vector<uint8_t> pressed = probe.presses();
        return std::count(pressed.begin(), pressed.end(), left) == 1 && pressed.back() == left;
    }));
}

TEST_F(X11Input, AGrabHeldByAnotherProgramIsAbsentAndLeavesNothingBehind) {
    xcb_connection_t* other = session.connection();
    xcb_grab_button(other, 0, session.root(), XCB_EVENT_MASK_BUTTON_PRESS, XCB_GRAB_MODE_ASYNC,
                    XCB_GRAB_MODE_ASYNC, XCB_WINDOW_NONE, XCB_CURSOR_NONE, 5, XCB_MOD_MASK_1);
    session.sync();

    EXPECT_FALSE(system->grabOptionScroll({{0, 0, 1280, 800}, {}}, [](const ScrollInput&) {}));

    // Had the backend kept the grabs it did get, this one would fail.
    xcb_void_cookie_t cookie = xcb_grab_button_checked(
        other, 0, session.root(), XCB_EVENT_MASK_BUTTON_PRESS, XCB_GRAB_MODE_ASYNC,
        XCB_GRAB_MODE_ASYNC, XCB_WINDOW_NONE, XCB_CURSOR_NONE, 4, XCB_MOD_MASK_1);
    xcb_generic_error_t* error = xcb_request_check(other, cookie);
    EXPECT_EQ(error, nullptr);
    std::free(error);
    // Once the other program lets go, the grab can be made.
    xcb_ungrab_button(other, XCB_BUTTON_INDEX_ANY, session.root(), XCB_MOD_MASK_ANY);
    session.sync();
    EXPECT_TRUE(system->grabOptionScroll({{0, 0, 1280, 800}, {}}, [](const ScrollInput&) {}));
}

}  // namespace
}  // namespace tessora::testing
