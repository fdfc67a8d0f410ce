#include "tests/x11/X11TestSession.h"

#include "platform/x11/HotKeyGrabs.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keyboard.h"

#include <QEventLoop>
#include <QTimer>
#include <vector>

namespace tessora::testing {
namespace {

constexpr uint32_t kEscape = 0xff1b, kControlL = 0xffe3, kNumLock = 0xff7f, kCapsLock = 0xffe5,
                   kF12 = 0xffc9;
constexpr uint16_t kNumLockMask = XCB_MOD_MASK_2;  // where Xvfb's keyboard map puts NumLock
const KeyStroke kCtrlEscape{keysym::escape, KeyModifier::Ctrl};

// A window of another client with the focus, counting the key presses that reach it.
class FocusedWindow {
public:
    explicit FocusedWindow(const QByteArray& display)
        : m_c(xcb_connect(display.constData(), nullptr)) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        const xcb_window_t window = xcb_generate_id(m_c);
        const uint32_t values[] = {1, XCB_EVENT_MASK_KEY_PRESS};
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 200, 200, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
        xcb_map_window(m_c, window);
        xcb_set_input_focus(m_c, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
        std::free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr));
    }
    ~FocusedWindow() { xcb_disconnect(m_c); }

    int presses(uint8_t key) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_c)) {
            if ((event->response_type & 0x7f) == XCB_KEY_PRESS) {
                m_presses.push_back(reinterpret_cast<xcb_key_press_event_t*>(event)->detail);
            }
            std::free(event);
        }
        return static_cast<int>(std::count(m_presses.begin(), m_presses.end(), key));
    }

private:
    xcb_connection_t* m_c;
    std::vector<uint8_t> m_presses;
};

// The server's clock, read from the time of a property change on a window of its own.
class ServerClock {
public:
    explicit ServerClock(const QByteArray& display)
        : m_c(xcb_connect(display.constData(), nullptr)) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        m_window = xcb_generate_id(m_c);
        const uint32_t mask[] = {XCB_EVENT_MASK_PROPERTY_CHANGE};
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                          mask);
    }
    ~ServerClock() { xcb_disconnect(m_c); }

    xcb_timestamp_t now() {
        xcb_change_property(m_c, XCB_PROP_MODE_APPEND, m_window, XCB_ATOM_CUT_BUFFER0,
                            XCB_ATOM_STRING, 8, 0, nullptr);
        xcb_flush(m_c);
        while (xcb_generic_event_t* event = xcb_wait_for_event(m_c)) {
            const bool notify = (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY;
            const xcb_timestamp_t time =
                notify ? reinterpret_cast<xcb_property_notify_event_t*>(event)->time : 0;
            std::free(event);
            if (notify) {
                return time;
            }
        }
        return 0;
    }

private:
    xcb_connection_t* m_c;
    xcb_window_t m_window = XCB_WINDOW_NONE;
};

class X11HotKey : public X11Test {
protected:
    // Presses Ctrl+Escape. XTEST input gets the server's time in milliseconds, and two presses
    // of a key within the same millisecond look like auto-repeat: each one waits until the
    // clock has moved past the one before.
    void ctrlEscape() {
        withKey(kControlL, true);
        tapKey(kEscape);
        withKey(kControlL, false);
        session.sync();
        const xcb_timestamp_t pressed = serverClock().now();
        while (serverClock().now() == pressed) {
        }
    }
    // Whether another client can grab the key with exactly these modifiers (it lets go at once).
    bool othersCanGrab(uint8_t key, uint16_t modifiers) {
        xcb_connection_t* other = session.connection();
        xcb_generic_error_t* error = xcb_request_check(
            other, xcb_grab_key_checked(other, 0, session.root(), modifiers, key,
                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        std::free(error);
        if (!error) {
            xcb_ungrab_key(other, key, session.root(), modifiers);
            session.sync();
        }
        return error == nullptr;
    }

    ServerClock& serverClock() {
        if (!m_serverClock) {
            m_serverClock = std::make_unique<ServerClock>(session.display());
        }
        return *m_serverClock;
    }

    std::vector<uint16_t> lockVariants(uint16_t base) {
        return {base, uint16_t(base | XCB_MOD_MASK_LOCK), uint16_t(base | kNumLockMask),
                uint16_t(base | XCB_MOD_MASK_LOCK | kNumLockMask)};
    }

private:
    std::unique_ptr<ServerClock> m_serverClock;
};

TEST_F(X11HotKey, FiresInEveryLockStateAndSwallowsThePress) {
    FocusedWindow focused(session.display());
    const uint8_t escape = session.keycodeOf(kEscape);
    int pressed = 0;
    auto hotKey = system->grabHotKey(kCtrlEscape, [&] { ++pressed; });
    ASSERT_TRUE(hotKey);

    ctrlEscape();
    ASSERT_TRUE(waitFor([&] { return pressed == 1; }));
    tapKey(kNumLock);
    ctrlEscape();
    ASSERT_TRUE(waitFor([&] { return pressed == 2; })) << "NumLock on";
    tapKey(kCapsLock);
    ctrlEscape();
    ASSERT_TRUE(waitFor([&] { return pressed == 3; })) << "NumLock and CapsLock on";
    tapKey(kNumLock);
    ctrlEscape();
    ASSERT_TRUE(waitFor([&] { return pressed == 4; })) << "CapsLock on";
    tapKey(kCapsLock);

    // Escape alone is not ours; the hot key's presses never reached the focused window.
    tapKey(kEscape);
    ASSERT_TRUE(waitFor([&] { return focused.presses(escape) == 1; }));
    EXPECT_EQ(pressed, 4);

    // Let go: Ctrl+Escape reaches the window again, and every variant is free for others.
    hotKey.reset();
    ctrlEscape();
    EXPECT_TRUE(waitFor([&] { return focused.presses(escape) == 2; }));
    for (const uint16_t modifiers : lockVariants(XCB_MOD_MASK_CONTROL)) {
        EXPECT_TRUE(othersCanGrab(escape, modifiers)) << modifiers;
    }
    EXPECT_EQ(pressed, 4);
}

TEST_F(X11HotKey, ACombinationHeldByAnotherClientIsRefusedAndLeavesNothingGrabbed) {
    const uint8_t escape = session.keycodeOf(kEscape);
    // The other client holds only the NumLock variant.
    xcb_connection_t* other = session.connection();
    xcb_grab_key(other, 0, session.root(), XCB_MOD_MASK_CONTROL | kNumLockMask, escape,
                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    session.sync();

    EXPECT_FALSE(system->grabHotKey(kCtrlEscape, [] {}));
    for (const uint16_t modifiers :
         {uint16_t(XCB_MOD_MASK_CONTROL), uint16_t(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_LOCK),
          uint16_t(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_LOCK | kNumLockMask)}) {
        EXPECT_TRUE(othersCanGrab(escape, modifiers)) << modifiers;
    }

    // Free again, it can be had; a key this keyboard lacks (a Cyrillic letter) cannot.
    xcb_ungrab_key(other, XCB_GRAB_ANY, session.root(), XCB_MOD_MASK_ANY);
    session.sync();
    auto hotKey = system->grabHotKey(kCtrlEscape, [] {});
    EXPECT_TRUE(hotKey);
    EXPECT_FALSE(othersCanGrab(escape, XCB_MOD_MASK_CONTROL));
    EXPECT_FALSE(system->grabHotKey({0x01000444, KeyModifier::Ctrl}, [] {}));
}

TEST_F(X11HotKey, TheSameCombinationTwiceStaysGrabbedUntilTheLastHandleGoes) {
    const uint8_t escape = session.keycodeOf(kEscape);
    int first = 0, second = 0;
    auto older = system->grabHotKey(kCtrlEscape, [&] { ++first; });
    auto newer = system->grabHotKey(kCtrlEscape, [&] { ++second; });
    ASSERT_TRUE(older && newer);

    ctrlEscape();
    ASSERT_TRUE(waitFor([&] { return second == 1; }));
    older.reset();  // a re-recorded shortcut lets its old handle go
    EXPECT_FALSE(othersCanGrab(escape, XCB_MOD_MASK_CONTROL));

    // A handler may let its own hot key go while it runs.
    std::unique_ptr<InputGrab>* self = &newer;
    newer = system->grabHotKey(kCtrlEscape, [&] {
        ++second;
        self->reset();
    });
    ctrlEscape();
    ASSERT_TRUE(waitFor([&] { return second == 2; }));
    EXPECT_FALSE(newer);
    EXPECT_TRUE(othersCanGrab(escape, XCB_MOD_MASK_CONTROL));
    EXPECT_EQ(first, 0);

    // A handle that outlives the backend does nothing when it goes.
    auto orphan = system->grabHotKey(kCtrlEscape, [] {});
    ASSERT_TRUE(orphan);
    system.reset();
    orphan.reset();
}

TEST_F(X11HotKey, FollowsTheKeyToItsNewKeyCodeWhenTheKeyboardMapChanges) {
    const uint8_t escape = session.keycodeOf(kEscape);
    const uint8_t f12 = session.keycodeOf(kF12);
    int pressed = 0;
    auto hotKey = system->grabHotKey(kCtrlEscape, [&] { ++pressed; });
    ASSERT_TRUE(hotKey);

    // Another client swaps Escape and F12.
    xcb_connection_t* other = session.connection();
    const uint32_t toF12[] = {kF12}, toEscape[] = {kEscape};
    xcb_change_keyboard_mapping(other, 1, escape, 1, toF12);
    xcb_change_keyboard_mapping(other, 1, f12, 1, toEscape);
    session.sync();
    ASSERT_EQ(session.keycodeOf(kEscape), f12);
    // A round trip of the backend's queues the MappingNotify; it reads its queue before the
    // event loop waits.
    system->pointerLocation();
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();

    EXPECT_FALSE(othersCanGrab(f12, XCB_MOD_MASK_CONTROL | kNumLockMask));
    EXPECT_TRUE(othersCanGrab(escape, XCB_MOD_MASK_CONTROL));
    ctrlEscape();  // now on the F12 key code
    EXPECT_TRUE(waitFor([&] { return pressed == 1; }));
}

// Auto-repeat is hard to produce on demand with XTEST, so the backend's dispatch gets the
// events the server sends for a held key: each repeat is a release and a press with the same
// timestamp.
TEST_F(X11HotKey, AutoRepeatFiresOnceAndLocksDoNotMatter) {
    QString reason;
    std::unique_ptr<x11::X11Connection> connection =
        x11::X11Connection::open(session.display(), &reason);
    ASSERT_TRUE(connection) << reason.toStdString();
    x11::Keyboard keyboard(*connection);
    x11::HotKeyGrabs grabs(*connection, keyboard);
    int pressed = 0;
    auto hotKey = grabs.grab(kCtrlEscape, [&] { ++pressed; });
    ASSERT_TRUE(hotKey);

    const uint8_t escape = session.keycodeOf(kEscape);
    auto key = [&](bool down, xcb_timestamp_t time, uint16_t state) {
        xcb_key_press_event_t event{};
        event.response_type = down ? XCB_KEY_PRESS : XCB_KEY_RELEASE;
        event.detail = escape;
        event.time = time;
        event.root = event.event = session.root();
        event.state = state;
        return grabs.handle(reinterpret_cast<const xcb_generic_event_t&>(event));
    };
    const uint16_t ctrl = XCB_MOD_MASK_CONTROL;
    EXPECT_TRUE(key(true, 100, ctrl));
    EXPECT_EQ(pressed, 1);
    for (xcb_timestamp_t repeat : {700, 740, 780}) {
        key(false, repeat, ctrl);
        EXPECT_TRUE(key(true, repeat, ctrl));  // taken, but not fired again
    }
    key(false, 800, ctrl);
    EXPECT_EQ(pressed, 1);

    EXPECT_TRUE(key(true, 900, ctrl | XCB_MOD_MASK_LOCK | kNumLockMask));
    EXPECT_EQ(pressed, 2);
    EXPECT_FALSE(key(true, 1000, ctrl | XCB_MOD_MASK_SHIFT));  // another combination
    EXPECT_FALSE(key(true, 1100, 0));
    EXPECT_EQ(pressed, 2);
}

}  // namespace
}  // namespace tessora::testing

namespace tessora::testing {
namespace {

// Asking the server for the time reads events off the connection and handles them, in order;
// a handler that reads the queue itself (as a keyboard hold's release does) sets the answer aside
// with the rest, and the wait still ends. What was set aside is handled afterwards.
TEST_F(X11HotKey, AServerTimeWaitEndsWhateverItsHandlersRead) {
    QString reason;
    std::unique_ptr<x11::X11Connection> connection =
        x11::X11Connection::open(session.display(), &reason);
    ASSERT_TRUE(connection) << reason.toStdString();
    std::vector<xcb_atom_t> seen;
    connection->onEvent = [&](const xcb_generic_event_t& event) {
        if ((event.response_type & 0x7f) == XCB_PROPERTY_NOTIFY &&
            reinterpret_cast<const xcb_property_notify_event_t&>(event).window == session.root()) {
            seen.push_back(reinterpret_cast<const xcb_property_notify_event_t&>(event).atom);
            // By this round trip's end the answer is in the queue, where the next read finds it.
            xcb_connection_t* own = connection->get();
            std::free(xcb_get_input_focus_reply(own, xcb_get_input_focus(own), nullptr));
            connection->takePending([](const xcb_generic_event_t&) { return false; });
        }
    };
    // Root property changes from another client, on their way before the time is asked.
    xcb_connection_t* c = session.connection();
    const uint32_t value = 1;
    std::vector<xcb_atom_t> changed;
    for (const char* name : {"_TESSORA_TEST_A", "_TESSORA_TEST_B", "_TESSORA_TEST_C"}) {
        changed.push_back(session.atom(name));
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, session.root(), changed.back(),
                            XCB_ATOM_CARDINAL, 32, 1, &value);
    }
    session.sync();

    EXPECT_NE(connection->serverTime(), xcb_timestamp_t{XCB_CURRENT_TIME});
    ASSERT_TRUE(session.waitUntil([&] {
        QCoreApplication::processEvents();
        return seen.size() >= changed.size();
    }));
    seen.resize(changed.size());  // the window manager may change root properties meanwhile
    EXPECT_EQ(seen, changed);
    connection->onEvent = nullptr;
}

}  // namespace
}  // namespace tessora::testing
