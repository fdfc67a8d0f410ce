#include "tests/x11/X11TestSession.h"

#include <algorithm>

namespace tessora::testing {
namespace {

constexpr uint32_t kAllDesktops = 0xFFFFFFFF;
constexpr uint32_t kShiftL = 0xffe1, kControlL = 0xffe3, kCapsLock = 0xffe5, kAltL = 0xffe9,
                   kReturn = 0xff0d, kTab = 0xff09;

// A top-level window of a client of its own, as our toolkit's windows are to the backend: it
// may carry window types, and records the keys typed into it.
class ClientWindow {
public:
    explicit ClientWindow(const QByteArray& display, const std::vector<const char*>& types = {})
        : m_c(xcb_connect(display.constData(), nullptr)) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        m_window = xcb_generate_id(m_c);
        const uint32_t values[] = {XCB_EVENT_MASK_KEY_PRESS};
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, m_window, screen->root, 100, 100, 300, 200, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK,
                          values);
        std::vector<xcb_atom_t> atoms;
        for (const char* type : types) {
            atoms.push_back(atom(type));
        }
        if (!atoms.empty()) {
            xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, m_window, atom("_NET_WM_WINDOW_TYPE"),
                                XCB_ATOM_ATOM, 32, static_cast<uint32_t>(atoms.size()),
                                atoms.data());
        }
        sync();
    }
    ~ClientWindow() { xcb_disconnect(m_c); }

    xcb_window_t id() const { return m_window; }
    void map() {
        xcb_map_window(m_c, m_window);
        sync();
    }
    void unmap() {
        xcb_unmap_window(m_c, m_window);
        sync();
    }
    // Key codes typed into the window so far.
    std::vector<uint8_t> presses() {
        sync();
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_c)) {
            if ((event->response_type & 0x7f) == XCB_KEY_PRESS) {
                m_presses.push_back(reinterpret_cast<xcb_key_press_event_t*>(event)->detail);
            }
            std::free(event);
        }
        return m_presses;
    }

private:
    xcb_atom_t atom(const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            m_c, xcb_intern_atom(m_c, 0, static_cast<uint16_t>(qstrlen(name)), name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return result;
    }
    void sync() { std::free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr)); }

    xcb_connection_t* m_c;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    std::vector<uint8_t> m_presses;
};

class X11ShellInput : public X11Test {
protected:
    xcb_window_t activeWindow() {
        const std::vector<uint32_t> active =
            session.cardinals(session.root(), "_NET_ACTIVE_WINDOW");
        return active.empty() ? xcb_window_t{XCB_WINDOW_NONE} : active.front();
    }
    bool managed(xcb_window_t window) {
        const std::vector<uint32_t> clients = session.cardinals(session.root(), "_NET_CLIENT_LIST");
        return std::find(clients.begin(), clients.end(), window) != clients.end();
    }
    bool hasState(xcb_window_t window, const char* state) {
        const std::vector<uint32_t> states = session.cardinals(window, "_NET_WM_STATE");
        return std::find(states.begin(), states.end(), session.atom(state)) != states.end();
    }
    bool isPanel(xcb_window_t window) {
        return session.cardinals(window, "_NET_WM_DESKTOP") ==
                   std::vector<uint32_t>{kAllDesktops} &&
               hasState(window, "_NET_WM_STATE_ABOVE") &&
               hasState(window, "_NET_WM_STATE_SKIP_TASKBAR") &&
               hasState(window, "_NET_WM_STATE_SKIP_PAGER");
    }
    // Index in the stacking order, bottom first; -1 when not listed.
    int stackIndex(xcb_window_t window) {
        const std::vector<uint32_t> stack =
            session.cardinals(session.root(), "_NET_CLIENT_LIST_STACKING");
        const auto it = std::find(stack.begin(), stack.end(), window);
        return it == stack.end() ? -1 : static_cast<int>(it - stack.begin());
    }
    // Viewable override-redirect windows, such as openbox's window switcher.
    std::vector<xcb_window_t> popups() {
        xcb_connection_t* c = session.connection();
        xcb_query_tree_reply_t* tree =
            xcb_query_tree_reply(c, xcb_query_tree(c, session.root()), nullptr);
        std::vector<xcb_window_t> shown;
        if (tree) {
            const xcb_window_t* children = xcb_query_tree_children(tree);
            for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
                xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
                    c, xcb_get_window_attributes(c, children[i]), nullptr);
                if (attributes && attributes->override_redirect &&
                    attributes->map_state == XCB_MAP_STATE_VIEWABLE) {
                    shown.push_back(children[i]);
                }
                std::free(attributes);
            }
        }
        std::free(tree);
        return shown;
    }
    // A window of xterm with the focus.
    xcb_window_t startFocusedXterm() {
        const std::vector<uint32_t> before = session.cardinals(session.root(), "_NET_CLIENT_LIST");
        session.run(QStringLiteral("xterm"),
                    {QStringLiteral("-geometry"), QStringLiteral("60x20")});
        xcb_window_t xterm = XCB_WINDOW_NONE;
        waitFor([&] {
            for (const uint32_t window : session.cardinals(session.root(), "_NET_CLIENT_LIST")) {
                if (std::find(before.begin(), before.end(), window) == before.end()) {
                    xterm = window;
                }
            }
            return xterm != XCB_WINDOW_NONE;
        });
        if (xterm == XCB_WINDOW_NONE || !waitManaged(xterm)) {
            return XCB_WINDOW_NONE;
        }
        system->focus({}, xterm);
        const bool focused = waitFor([&] { return activeWindow() == xterm; });
        return focused ? xterm : xcb_window_t{XCB_WINDOW_NONE};
    }
};

TEST_F(X11ShellInput, LeftAndRightPressesAnywhereReachEveryWatcherUntilItsHandleGoes) {
    const xcb_window_t xterm = startFocusedXterm();
    ASSERT_NE(xterm, XCB_WINDOW_NONE);
    const WindowRect frame = *system->frame(xterm);

    QList<QPointF> first, second;
    auto firstWatch = system->watchButtonPresses([&](QPointF at) { first << at; });
    ASSERT_TRUE(firstWatch);

    // Inside xterm, then on its title bar, which openbox takes with a pointer grab of its own;
    // the middle button and the wheel do not count.
    const QPoint inside(int(frame.x + frame.width / 2), int(frame.y + frame.height / 2));
    const QPoint title(int(frame.x + frame.width / 2), int(frame.y + 4));
    session.movePointer(inside.x(), inside.y());
    click(1);
    ASSERT_TRUE(waitFor([&] { return first.size() == 1; }));
    session.movePointer(title.x(), title.y());
    click(3);
    ASSERT_TRUE(waitFor([&] { return first.size() == 2; }));
    session.movePointer(20, 700);  // the bare desktop
    click(2);
    click(4);
    click(1);
    ASSERT_TRUE(waitFor([&] { return first.size() >= 3; }));
    EXPECT_EQ(first, (QList<QPointF>{QPointF(inside), QPointF(title), QPointF(20, 700)}));

    // Two at once; the first one's handle goes, the second goes on hearing.
    auto secondWatch = system->watchButtonPresses([&](QPointF at) { second << at; });
    ASSERT_TRUE(secondWatch);
    click(1);
    ASSERT_TRUE(waitFor([&] { return first.size() == 4 && second.size() == 1; }));
    firstWatch.reset();
    click(3);
    ASSERT_TRUE(waitFor([&] { return second.size() == 2; }));
    EXPECT_EQ(first.size(), 4);

    // A handle that outlives the backend does nothing when it goes.
    system.reset();
    secondWatch.reset();
}

TEST_F(X11ShellInput, APreparedPanelIsAboveOnEveryDesktopAndOutOfTheTaskbarAtEveryShow) {
    // The window types Qt gives a frameless tool window.
    ClientWindow panel(session.display(),
                       {"_NET_WM_WINDOW_TYPE_UTILITY", "_KDE_NET_WM_WINDOW_TYPE_OVERRIDE",
                        "_NET_WM_WINDOW_TYPE_NORMAL"});
    system->preparePanelWindow(panel.id());
    panel.map();
    ASSERT_TRUE(waitManaged(panel.id()));
    EXPECT_TRUE(isPanel(panel.id()));

    // A normal window that comes later, focused and raised, stays below it.
    const xcb_window_t normal = startClient({"--size", "400x300"});
    ASSERT_TRUE(waitManaged(normal));
    system->focus({}, normal);
    ASSERT_TRUE(waitFor([&] { return activeWindow() == normal; }));
    EXPECT_GT(stackIndex(panel.id()), stackIndex(normal));

    // On another desktop it is still on screen; the normal window is not.
    session.switchToDesktop(1);
    EXPECT_TRUE(waitFor([&] {
        const QList<OnScreenWindow> shown = system->onScreenWindows();
        const auto has = [&](xcb_window_t w) {
            return std::any_of(shown.begin(), shown.end(),
                               [&](const OnScreenWindow& s) { return s.window == w; });
        };
        return has(panel.id()) && !has(normal);
    }));
    session.switchToDesktop(0);

    // openbox erases the states of a window it lets go of: hidden and shown again, the panel
    // is still one.
    panel.unmap();
    ASSERT_TRUE(waitFor(
        [&] { return !managed(panel.id()) && session.cardinals(panel.id(), "WM_STATE").empty(); }));
    ASSERT_TRUE(waitFor([&] { return isPanel(panel.id()); }));
    panel.map();
    ASSERT_TRUE(waitManaged(panel.id()));
    EXPECT_TRUE(isPanel(panel.id()));

    // Prepared only once shown, a window becomes one all the same.
    ClientWindow late(session.display());
    late.map();
    ASSERT_TRUE(waitManaged(late.id()));
    system->preparePanelWindow(late.id());
    EXPECT_TRUE(waitFor([&] { return isPanel(late.id()); }));
}

TEST_F(X11ShellInput, AltTabPassesOverThePanel) {
    const xcb_window_t first = startClient({"--size", "300x200"});
    const xcb_window_t second = startClient({"--size", "300x200"});
    ClientWindow panel(session.display());
    system->preparePanelWindow(panel.id());
    panel.map();
    ASSERT_TRUE(waitManaged(first) && waitManaged(second) && waitManaged(panel.id()));

    // Focus order, most recent first: first, panel, second.
    for (const xcb_window_t window : {second, panel.id(), first}) {
        system->focus({}, window);
        ASSERT_TRUE(waitFor([&] { return activeWindow() == window; }));
    }
    // openbox finishes the cycle when Alt goes up, if it has taken the keyboard by then: its
    // switcher on screen says so.
    const std::vector<xcb_window_t> before = popups();
    withKey(kAltL, true);
    withKey(kTab, true);
    ASSERT_TRUE(waitFor([&] { return popups() != before; }));
    withKey(kTab, false);
    withKey(kAltL, false);
    EXPECT_TRUE(waitFor([&] { return activeWindow() == second; }))
        << "active: " << activeWindow() << ", panel: " << panel.id();
}

TEST_F(X11ShellInput, ActivationTakesTheFocusFromAnotherApplicationAlsoWhileTheKeyboardIsHeld) {
    ClientWindow panel(session.display());
    system->preparePanelWindow(panel.id());
    panel.map();
    ASSERT_TRUE(waitManaged(panel.id()));
    const xcb_window_t xterm = startFocusedXterm();
    ASSERT_NE(xterm, XCB_WINDOW_NONE);
    ASSERT_EQ(activeWindow(), xterm);

    system->activateOwnWindow(panel.id());
    ASSERT_TRUE(waitFor([&] { return activeWindow() == panel.id(); }));

    // The shell's way: the keyboard held from the hot key on, the panel activated, then let go.
    system->focus({}, xterm);
    ASSERT_TRUE(waitFor([&] { return activeWindow() == xterm; }));
    QList<TypedKey> typed;
    auto hold = system->holdKeyboard([&](const TypedKey& key) { typed << key; });
    ASSERT_TRUE(hold);
    tapKey('x');
    ASSERT_TRUE(waitFor([&] { return typed.size() == 1; }));
    system->activateOwnWindow(panel.id());
    ASSERT_TRUE(waitFor([&] { return activeWindow() == panel.id(); }));
    hold.reset();
    tapKey('y');
    ASSERT_TRUE(waitFor([&] { return !panel.presses().empty(); }));
    EXPECT_EQ(panel.presses(), std::vector<uint8_t>{session.keycodeOf('y')});
    EXPECT_EQ(typed.front().text, QStringLiteral("x"));
}

TEST_F(X11ShellInput, AHiddenPanelLeavesTheKeyboardReachableAndSaysWhenItMayShowAgain) {
    ClientWindow panel(session.display());
    system->preparePanelWindow(panel.id());
    int stateChanges = 0;
    QObject::connect(system.get(), &WindowSystem::ownWindowStateChanged,
                     [&](WindowId window) { stateChanges += window == panel.id() ? 1 : 0; });
    EXPECT_TRUE(system->ownWindowWithdrawn(panel.id())) << "never shown";
    panel.map();
    ASSERT_TRUE(waitManaged(panel.id()));
    ASSERT_TRUE(waitFor([&] { return stateChanges > 0; }));
    EXPECT_FALSE(system->ownWindowWithdrawn(panel.id()));

    // Focused the way icewm focuses: when it is unmapped, the focus would fall to None, and no
    // key would reach anyone (the hot key neither) until the window manager picks a window.
    system->activateOwnWindow(panel.id());
    ASSERT_TRUE(waitFor([&] { return activeWindow() == panel.id(); }));
    xcb_connection_t* c = session.connection();
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_NONE, panel.id(), XCB_CURRENT_TIME);
    session.sync();
    const auto focus = [&] {
        xcb_get_input_focus_reply_t* reply =
            xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
        const xcb_window_t focused = reply ? reply->focus : xcb_window_t{XCB_WINDOW_NONE};
        std::free(reply);
        return focused;
    };
    ASSERT_EQ(focus(), panel.id());
    // Given back to the desktop before the panel goes, the keyboard still reaches the hot key.
    system->releaseOwnFocus(panel.id());
    stateChanges = 0;
    panel.unmap();
    EXPECT_NE(focus(), xcb_window_t{XCB_WINDOW_NONE});

    // The window manager lets go of it (it reads the unmap), and says so.
    ASSERT_TRUE(
        waitFor([&] { return stateChanges > 0 && system->ownWindowWithdrawn(panel.id()); }));
}

TEST_F(X11ShellInput, HeldKeysReachTheHandlerWithTheirTextAndNotTheFocusedWindow) {
    ClientWindow focused(session.display());
    focused.map();
    ASSERT_TRUE(waitManaged(focused.id()));
    system->focus({}, focused.id());
    ASSERT_TRUE(waitFor([&] { return activeWindow() == focused.id(); }));

    QList<TypedKey> typed;
    auto hold = system->holdKeyboard([&](const TypedKey& key) {
        if (!isModifierKey(key.stroke.key)) {  // modifier keys alone are left out
            typed << key;
        }
    });
    ASSERT_TRUE(hold);
    EXPECT_FALSE(system->holdKeyboard([](const TypedKey&) {})) << "one hold at a time";

    tapKey('a');
    withKey(kShiftL, true);
    tapKey('a');
    withKey(kShiftL, false);
    tapKey('7');
    tapKey(kReturn);
    withKey(kControlL, true);
    tapKey('a');
    withKey(kControlL, false);
    tapKey(kCapsLock);
    tapKey('b');
    withKey(kShiftL, true);
    tapKey('b');
    withKey(kShiftL, false);
    tapKey(kCapsLock);
    ASSERT_TRUE(waitFor([&] { return typed.size() == 7; })) << typed.size();

    struct Expected {
        KeyStroke stroke;
        QString text;
    };
    const std::vector<Expected> expected = {
        {{'a', {}}, "a"},
        {{'a', KeyModifier::Shift}, "A"},
        {{'7', {}}, "7"},
        {{keysym::returnKey, {}}, ""},
        {{'a', KeyModifier::Ctrl}, ""},
        {{'b', {}}, "B"},                  // Caps Lock on
        {{'b', KeyModifier::Shift}, "b"},  // Shift undoes it
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(typed[i].stroke, expected[i].stroke);
        EXPECT_EQ(typed[i].text, expected[i].text);
    }

    // Let go: keys reach the focused window again, and had any of the held ones gone there it
    // would have seen them before this one.
    hold.reset();
    tapKey('c');
    ASSERT_TRUE(waitFor([&] { return !focused.presses().empty(); }));
    EXPECT_EQ(focused.presses(), std::vector<uint8_t>{session.keycodeOf('c')});
    EXPECT_EQ(typed.size(), 7);
}

// Qt's key events of our own windows carry the X key code: the key is read from the server's
// keyboard map, and follows the map when it changes.
TEST_F(X11ShellInput, KeyEventsOfOurWindowsAreReadFromTheKeyboardMap) {
    const uint8_t cKey = session.keycodeOf('c');
    const uint8_t oneKey = session.keycodeOf('1');
    EXPECT_EQ(system->keyStroke(Qt::Key_Exclam, Qt::ShiftModifier, oneKey),
              (KeyStroke{'1', KeyModifier::Shift}));
    EXPECT_EQ(system->keyStroke(Qt::Key_Enter, Qt::KeypadModifier, session.keycodeOf(0xff8d)),
              (KeyStroke{keysym::returnKey, {}}));
    EXPECT_EQ(system->keyStroke(Qt::Key_Exclam, Qt::ShiftModifier, 0).key, Keysym('1'))
        << "a key event Qt made up has no key code";

    const auto remap = [&](std::vector<xcb_keysym_t> keysyms) {
        xcb_change_keyboard_mapping(session.connection(), 1, cKey,
                                    static_cast<uint8_t>(keysyms.size()), keysyms.data());
        session.sync();
    };
    const auto key = [&] { return system->keyStroke(Qt::Key_unknown, Qt::ControlModifier, cKey); };
    remap({'k', 'K'});
    ASSERT_TRUE(waitFor([&] { return key().key == Keysym('k'); }));
    // A Cyrillic letter there is still C for shortcuts: Ctrl+С clears the selection too.
    remap({0x01000441, 0x01000421});
    ASSERT_TRUE(waitFor([&] { return key().key != Keysym('k'); }));
    EXPECT_EQ(key(), (KeyStroke{'c', KeyModifier::Ctrl}));
}

TEST_F(X11ShellInput, TheKeyboardHeldByAnotherClientCannotBeHeld) {
    xcb_connection_t* other = session.connection();
    xcb_grab_keyboard_reply_t* grabbed =
        xcb_grab_keyboard_reply(other,
                                xcb_grab_keyboard(other, 0, session.root(), XCB_CURRENT_TIME,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                nullptr);
    ASSERT_TRUE(grabbed && grabbed->status == XCB_GRAB_STATUS_SUCCESS);
    std::free(grabbed);

    EXPECT_FALSE(system->holdKeyboard([](const TypedKey&) {}));

    xcb_ungrab_keyboard(other, XCB_CURRENT_TIME);
    session.sync();
    auto hold = system->holdKeyboard([](const TypedKey&) {});
    EXPECT_TRUE(hold);
    // A handle that outlives the backend does nothing when it goes.
    system.reset();
    hold.reset();
}

}  // namespace
}  // namespace tessora::testing
