#include "platform/x11/X11OwnWindows.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Log.h"
#include "platform/x11/X11PropertyReader.h"
#include "platform/x11/X11WindowSystem.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace tessora::x11 {

namespace {

constexpr uint32_t kAllDesktops = 0xFFFFFFFF;
constexpr uint32_t kSourcePager = 2;  // a tool acting for the user
constexpr uint32_t kStateAdd = 1;

}  // namespace

// --- OwnWindows

OwnWindows::OwnWindows(X11Connection& connection) : m_connection(connection) {}

bool OwnWindows::isPanel(xcb_window_t window) const {
    return std::find(m_panels.begin(), m_panels.end(), window) != m_panels.end();
}

void OwnWindows::preparePanel(xcb_window_t window) {
    xcb_connection_t* c = m_connection.get();
    // Property changes tell when the window manager drops the states; the destruction ends it.
    const uint32_t mask[] = {XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    const xcb_void_cookie_t selected =
        xcb_change_window_attributes_checked(c, window, XCB_CW_EVENT_MASK, mask);
    std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr),
        &std::free);
    if (xcb_generic_error_t* error = xcb_request_check(c, selected)) {
        std::free(error);
        qCDebug(lcX11) << "no window" << window << "to prepare as a panel";
        return;
    }
    if (!attributes) {
        return;
    }
    if (!isPanel(window)) {
        m_panels.push_back(window);
    }
    if (attributes->map_state == XCB_MAP_STATE_UNMAPPED) {
        // Read by the window manager when the window is mapped (toolkits add their own states
        // to the list rather than replace it).
        writeProperties(window);
    } else {
        requestStates(window);
    }
}

bool OwnWindows::writeProperties(xcb_window_t window) {
    xcb_connection_t* c = m_connection.get();
    const Atoms& atoms = m_connection.atoms();
    const PropertyReader reader(c);
    std::vector<uint32_t> states =
        reader.cardinals(reader.requestCardinals(window, atoms._NET_WM_STATE, XCB_ATOM_ATOM))
            .value_or(std::vector<uint32_t>{});
    for (const xcb_atom_t state :
         {atoms._NET_WM_STATE_ABOVE, atoms._NET_WM_STATE_STICKY, atoms._NET_WM_STATE_SKIP_TASKBAR,
          atoms._NET_WM_STATE_SKIP_PAGER}) {
        if (std::find(states.begin(), states.end(), state) == states.end()) {
            states.push_back(state);
        }
    }
    const xcb_void_cookie_t stateWritten = xcb_change_property_checked(
        c, XCB_PROP_MODE_REPLACE, window, atoms._NET_WM_STATE, XCB_ATOM_ATOM, 32,
        static_cast<uint32_t>(states.size()), states.data());
    const xcb_void_cookie_t desktopWritten =
        xcb_change_property_checked(c, XCB_PROP_MODE_REPLACE, window, atoms._NET_WM_DESKTOP,
                                    XCB_ATOM_CARDINAL, 32, 1, &kAllDesktops);
    bool written = true;
    for (const xcb_void_cookie_t cookie : {stateWritten, desktopWritten}) {
        if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
            std::free(error);
            written = false;
        }
    }
    return written;
}

void OwnWindows::requestStates(xcb_window_t window) {
    const Atoms& atoms = m_connection.atoms();
    const uint32_t above[5] = {kStateAdd, atoms._NET_WM_STATE_ABOVE, atoms._NET_WM_STATE_STICKY,
                               kSourcePager, 0};
    const uint32_t skip[5] = {kStateAdd, atoms._NET_WM_STATE_SKIP_TASKBAR,
                              atoms._NET_WM_STATE_SKIP_PAGER, kSourcePager, 0};
    const uint32_t desktop[5] = {kAllDesktops, kSourcePager, 0, 0, 0};
    m_connection.sendRootMessage(window, atoms._NET_WM_STATE, above);
    m_connection.sendRootMessage(window, atoms._NET_WM_STATE, skip);
    m_connection.sendRootMessage(window, atoms._NET_WM_DESKTOP, desktop);
}

// A focused window that is unmapped hands the focus on as the last focus request said, and
// window managers that asked for RevertToNone (icewm) leave it at None until they pick another
// window: meanwhile no key reaches anyone, not even a hot key grabbed on the root window, and the
// launcher cannot be opened again. Given back to the desktop first, the keyboard stays reachable.
void OwnWindows::releaseFocus(xcb_window_t window) {
    xcb_connection_t* c = m_connection.get();
    std::unique_ptr<xcb_get_input_focus_reply_t, decltype(&std::free)> focus(
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr), &std::free);
    if (focus && focus->focus == window) {
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, XCB_INPUT_FOCUS_POINTER_ROOT,
                            XCB_CURRENT_TIME);
        // Done before the caller unmaps the window on its own connection.
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    }
}

bool OwnWindows::withdrawn(xcb_window_t window) {
    // Asked before the window manager check, whose round trips then bring the answer too.
    const PropertyReader reader(m_connection);
    const xcb_atom_t wmState = m_connection.atoms().WM_STATE;
    const PendingProperty pending = reader.requestCardinals(window, wmState, wmState, 2);
    if (!m_connection.windowManagerCheck()) {
        reader.discard(pending);
        return true;  // nobody to withdraw it
    }
    const std::optional<uint32_t> state = reader.cardinal(pending);
    constexpr uint32_t kWithdrawnState = 0;
    return !state || *state == kWithdrawnState;
}

bool OwnWindows::handle(const xcb_generic_event_t& event) {
    if (m_panels.empty()) {
        return false;
    }
    const uint8_t type = event.response_type & 0x7f;
    if (type == XCB_DESTROY_NOTIFY) {
        const auto& destroyed = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
        if (!isPanel(destroyed.window)) {
            return false;
        }
        std::erase(m_panels, destroyed.window);
        return true;
    }
    if (type != XCB_PROPERTY_NOTIFY) {
        return false;
    }
    const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
    if (!isPanel(notify.window)) {
        return false;
    }
    const Atoms& atoms = m_connection.atoms();
    if (notify.atom == atoms.WM_STATE) {
        if (onStateChange) {
            onStateChange(notify.window);
        }
        return true;
    }
    const bool dropped =
        notify.state == XCB_PROPERTY_DELETE &&
        (notify.atom == atoms._NET_WM_STATE || notify.atom == atoms._NET_WM_DESKTOP);
    if (dropped) {
        xcb_connection_t* c = m_connection.get();
        std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, notify.window),
                                            nullptr),
            &std::free);
        // Withdrawn: the window manager let go of it. A mapped window's states are the window
        // manager's to keep.
        if (attributes && attributes->map_state == XCB_MAP_STATE_UNMAPPED &&
            !writeProperties(notify.window)) {
            std::erase(m_panels, notify.window);
        }
    }
    return true;
}

}  // namespace tessora::x11

namespace tessora {

void X11WindowSystem::preparePanelWindow(WindowId window) {
    if (window == 0 || window > 0xFFFFFFFFu) {
        return;
    }
    m_ownWindows->preparePanel(static_cast<xcb_window_t>(window));
}

void X11WindowSystem::releaseOwnFocus(WindowId window) {
    if (window == 0 || window > 0xFFFFFFFFu || m_connection->broken()) {
        return;
    }
    m_ownWindows->releaseFocus(static_cast<xcb_window_t>(window));
}

bool X11WindowSystem::ownWindowWithdrawn(WindowId window) {
    if (window == 0 || window > 0xFFFFFFFFu || m_connection->broken()) {
        return true;
    }
    return m_ownWindows->withdrawn(static_cast<xcb_window_t>(window));
}

void X11WindowSystem::activateOwnWindow(WindowId window) {
    if (window == 0 || window > 0xFFFFFFFFu) {
        return;
    }
    const auto w = static_cast<xcb_window_t>(window);
    // Stamped now, not with the hot key's time: mutter refuses a focus request older than its
    // own latest focus change, which it may make between the key and the request.
    const uint32_t data[5] = {x11::kSourcePager, m_connection->serverTime(), XCB_WINDOW_NONE, 0, 0};
    m_connection->sendRootMessage(w, m_connection->atoms()._NET_ACTIVE_WINDOW, data);
    raise(window);
}

}  // namespace tessora
