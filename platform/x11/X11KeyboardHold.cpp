#include "platform/x11/X11KeyboardHold.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11Log.h"
#include "platform/x11/X11WindowSystem.h"

#include <cstdlib>
#include <exception>

namespace tessora::x11 {

class KeyboardHold::Handle final : public InputGrab {
public:
    Handle(std::weak_ptr<KeyboardHold*> owner, int id) : m_owner(std::move(owner)), m_id(id) {}
    ~Handle() override {
        if (const std::shared_ptr<KeyboardHold*> owner = m_owner.lock()) {
            (*owner)->release(m_id);
        }
    }

private:
    std::weak_ptr<KeyboardHold*> m_owner;
    int m_id;
};

KeyboardHold::KeyboardHold(X11Connection& connection, const Keyboard& keyboard)
    : m_connection(connection),
      m_keyboard(keyboard),
      m_self(std::make_shared<KeyboardHold*>(this)) {}

KeyboardHold::~KeyboardHold() {
    m_self.reset();
    release(m_holdId, false);
}

std::unique_ptr<InputGrab> KeyboardHold::hold(std::function<void(const TypedKey&)> handler) {
    if (m_holdId != 0 || !handler || m_connection.broken()) {
        return nullptr;
    }
    xcb_connection_t* c = m_connection.get();
    std::unique_ptr<xcb_grab_keyboard_reply_t, decltype(&std::free)> reply(
        xcb_grab_keyboard_reply(c,
                                xcb_grab_keyboard(c, 0, m_connection.root(), XCB_CURRENT_TIME,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                nullptr),
        &std::free);
    if (!reply || reply->status != XCB_GRAB_STATUS_SUCCESS) {
        qCDebug(lcX11) << "the keyboard cannot be held; grab status"
                       << (reply ? reply->status : -1);
        return nullptr;
    }
    m_handler = std::move(handler);
    m_holdId = ++m_lastId;
    return std::make_unique<Handle>(m_self, m_holdId);
}

void KeyboardHold::release(int id, bool deliverInFlight) {
    if (id == 0 || id != m_holdId) {
        return;
    }
    if (!m_connection.broken()) {
        // The round trip makes the release take effect before the caller goes on: a key typed
        // next (by the user or another client) goes to the focused window.
        xcb_connection_t* c = m_connection.get();
        xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        // Presses sent before the release may still wait unread in our queue: they were typed
        // for the holder, who gets them before the hold ends.
        if (deliverInFlight) {
            m_connection.takePending([this](const xcb_generic_event_t& event) {
                const uint8_t kind = event.response_type & 0x7f;
                return (kind == XCB_KEY_PRESS || kind == XCB_KEY_RELEASE) &&
                       !(m_passOver && m_passOver(event)) && handle(event);
            });
        }
    }
    if (id != m_holdId) {
        return;  // a handler ended the hold meanwhile
    }
    m_holdId = 0;
    m_handler = nullptr;
}

bool KeyboardHold::handle(const xcb_generic_event_t& event) {
    if (m_holdId == 0) {
        return false;
    }
    const uint8_t type = event.response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) {
        return false;
    }
    // With owner events off, every key event of the grab is reported on the root window.
    const auto& key = reinterpret_cast<const xcb_key_press_event_t&>(event);
    if (key.event != m_connection.root()) {
        return false;
    }
    if (type == XCB_KEY_RELEASE) {
        return true;
    }
    const TypedKey typed = m_keyboard.typed(key.detail, key.state);
    if (typed.text.isEmpty() && keyName(typed.stroke.key).isEmpty()) {
        return true;  // a key we cannot name that types nothing: a media key, a dead key
    }
    // A copy: the handler may end the hold.
    const std::function<void(const TypedKey&)> handler = m_handler;
    try {
        handler(typed);
    } catch (const std::exception& error) {
        qCWarning(lcX11) << "the handler of a held key failed:" << error.what();
    } catch (...) {
        qCWarning(lcX11) << "the handler of a held key failed";
    }
    return true;
}

}  // namespace tessora::x11

namespace tessora {

std::unique_ptr<InputGrab> X11WindowSystem::holdKeyboard(
    std::function<void(const TypedKey&)> handler) {
    return m_keyboardHold->hold(std::move(handler));
}

}  // namespace tessora
