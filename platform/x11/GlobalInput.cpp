#include "platform/x11/GlobalInput.h"

#include <memory>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11Log.h"

#include <cstdlib>
#include <exception>

namespace tessora::x11 {

std::vector<uint16_t> modifierVariants(uint16_t base, const std::vector<uint16_t>& extras,
                                       const ModifierMasks& masks) {
    std::vector<uint16_t> optional = extras;
    optional.push_back(XCB_MOD_MASK_LOCK);
    if (masks.numLock != 0) {
        optional.push_back(masks.numLock);
    }
    std::vector<uint16_t> variants;
    for (unsigned subset = 0; subset < (1u << optional.size()); ++subset) {
        uint16_t modifiers = base;
        for (std::size_t i = 0; i < optional.size(); ++i) {
            if (subset & (1u << i)) {
                modifiers |= optional[i];
            }
        }
        variants.push_back(modifiers);
    }
    return variants;
}

class GlobalInput::Handle final : public InputGrab {
public:
    Handle(std::weak_ptr<GlobalInput*> owner, std::vector<Grab> grabs, bool key)
        : m_owner(std::move(owner)), m_grabs(std::move(grabs)), m_key(key) {}
    ~Handle() override {
        if (const std::shared_ptr<GlobalInput*> owner = m_owner.lock()) {
            GlobalInput* input = *owner;
            input->release(m_grabs);
            if (m_key) {
                input->m_keyHandler = nullptr;
            } else {
                input->m_scrollHandler = nullptr;
                input->endHold();  // it held the pointer for this handler
            }
        }
    }

private:
    std::weak_ptr<GlobalInput*> m_owner;
    std::vector<Grab> m_grabs;
    bool m_key;
};

class GlobalInput::Hold final : public InputGrab {
public:
    Hold(std::weak_ptr<GlobalInput*> owner, int id) : m_owner(std::move(owner)), m_id(id) {}
    ~Hold() override {
        if (const std::shared_ptr<GlobalInput*> owner = m_owner.lock();
            owner && (*owner)->m_holdId == m_id) {
            (*owner)->endHold();
        }
    }

private:
    std::weak_ptr<GlobalInput*> m_owner;
    int m_id;
};

GlobalInput::GlobalInput(X11Connection& connection, const Keyboard& keyboard,
                         std::function<QPointF(int, int)> toWindowSpace)
    : m_connection(connection),
      m_keyboard(keyboard),
      m_toWindowSpace(std::move(toWindowSpace)),
      m_self(std::make_shared<GlobalInput*>(this)) {}

GlobalInput::~GlobalInput() {
    endHold();
}

bool GlobalInput::take(const std::vector<Grab>& grabs) {
    xcb_connection_t* c = m_connection.get();
    std::vector<xcb_void_cookie_t> cookies;
    for (const Grab& grab : grabs) {
        cookies.push_back(
            grab.key ? xcb_grab_key_checked(c, 0, m_connection.root(), grab.modifiers, grab.detail,
                                            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_SYNC)
                     : xcb_grab_button_checked(
                           c, 0, m_connection.root(),
                           XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE,
                           XCB_GRAB_MODE_SYNC, XCB_GRAB_MODE_ASYNC, XCB_WINDOW_NONE,
                           XCB_CURSOR_NONE, grab.detail, grab.modifiers));
    }
    bool all = true;
    for (const xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
            all = false;
            std::free(error);
        }
    }
    // A broken connection reports no errors, and holds nothing.
    all = all && !m_connection.broken();
    if (!all) {
        // The ones that failed are not ours, so releasing them all leaves the other client's.
        // An ungrab of a combination another client holds does nothing. The round trip makes
        // the release take effect before the caller hears of the failure.
        release(grabs);
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    }
    return all;
}

void GlobalInput::release(const std::vector<Grab>& grabs) {
    xcb_connection_t* c = m_connection.get();
    for (const Grab& grab : grabs) {
        if (grab.key) {
            xcb_ungrab_key(c, grab.detail, m_connection.root(), grab.modifiers);
        } else {
            xcb_ungrab_button(c, grab.detail, m_connection.root(), grab.modifiers);
        }
    }
    xcb_flush(c);
}

std::unique_ptr<InputGrab> GlobalInput::grabScroll(
    std::function<InputDecision(const ScrollInput&)> handler) {
    if (m_scrollHandler || !handler) {
        return nullptr;
    }
    std::vector<Grab> grabs;
    const ModifierMasks& masks = m_keyboard.masks();
    const std::vector<uint16_t> variants =
        modifierVariants(masks.alt, {XCB_MOD_MASK_SHIFT, XCB_MOD_MASK_CONTROL}, masks);
    for (uint8_t button = 4; button <= 7; ++button) {
        for (const uint16_t modifiers : variants) {
            grabs.push_back(Grab{false, button, modifiers});
        }
    }
    if (!take(grabs)) {
        qCWarning(lcX11) << "Alt+scroll is taken by another program; it stays unavailable";
        return nullptr;
    }
    m_scrollHandler = std::move(handler);
    return std::make_unique<Handle>(m_self, std::move(grabs), false);
}

std::unique_ptr<InputGrab> GlobalInput::holdScroll() {
    if (!m_scrollHandler) {
        return nullptr;
    }
    if (m_holdId == 0) {
        // Taken over from the passive grab when asked while its press is handled (stamped with
        // that press), which also lets the frozen pointer go. Its reply is not waited for: a
        // grab that another client keeps from us leaves the passive grab as the only path.
        xcb_connection_t* c = m_connection.get();
        const xcb_grab_pointer_cookie_t grab = xcb_grab_pointer(
            c, 0, m_connection.root(), XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE,
            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_WINDOW_NONE, XCB_CURSOR_NONE,
            m_pressTime);
        xcb_discard_reply(c, grab.sequence);
        xcb_flush(c);
    }
    // A second hold takes over from the first, whose end then changes nothing.
    m_holdId = ++m_lastHoldId;
    return std::make_unique<Hold>(m_self, m_holdId);
}

void GlobalInput::endHold() {
    if (m_holdId == 0) {
        return;
    }
    m_holdId = 0;
    xcb_ungrab_pointer(m_connection.get(), XCB_CURRENT_TIME);
    xcb_flush(m_connection.get());
}

std::unique_ptr<InputGrab> GlobalInput::grabKeys(
    std::function<InputDecision(const KeyStroke&)> handler) {
    const std::vector<xcb_keycode_t> left = m_keyboard.keycodes(keysym::left);
    const std::vector<xcb_keycode_t> right = m_keyboard.keycodes(keysym::right);
    if (m_keyHandler || !handler || left.empty() || right.empty()) {
        return nullptr;
    }
    std::vector<Grab> grabs;
    const ModifierMasks& masks = m_keyboard.masks();
    const std::vector<uint16_t> variants = modifierVariants(
        masks.alt | masks.super, {XCB_MOD_MASK_SHIFT, XCB_MOD_MASK_CONTROL}, masks);
    for (const xcb_keycode_t key : {left.front(), right.front()}) {
        for (const uint16_t modifiers : variants) {
            grabs.push_back(Grab{true, key, modifiers});
        }
    }
    if (!take(grabs)) {
        qCWarning(lcX11) << "Super+Alt+Left/Right is taken by another program; it stays "
                            "unavailable";
        return nullptr;
    }
    m_keyHandler = std::move(handler);
    return std::make_unique<Handle>(m_self, std::move(grabs), true);
}

void GlobalInput::answer(bool key, InputDecision decision, xcb_timestamp_t time) {
    const bool pass = decision == InputDecision::Pass;
    const uint8_t mode = key ? (pass ? XCB_ALLOW_REPLAY_KEYBOARD : XCB_ALLOW_ASYNC_KEYBOARD)
                             : (pass ? XCB_ALLOW_REPLAY_POINTER : XCB_ALLOW_ASYNC_POINTER);
    xcb_allow_events(m_connection.get(), mode, time);
    xcb_flush(m_connection.get());
}

bool GlobalInput::handle(const xcb_generic_event_t& event) {
    const uint8_t type = event.response_type & 0x7f;
    if (type == XCB_BUTTON_RELEASE || type == XCB_KEY_RELEASE) {
        // The other half of a swallowed press, delivered to the grab.
        return reinterpret_cast<const xcb_button_release_event_t&>(event).event ==
               m_connection.root();
    }
    if (type != XCB_BUTTON_PRESS && type != XCB_KEY_PRESS) {
        return false;
    }
    // Key and button events share their layout.
    const auto& press = reinterpret_cast<const xcb_button_press_event_t&>(event);
    if (press.event != m_connection.root()) {
        return false;
    }
    const bool key = type == XCB_KEY_PRESS;
    if (!key) {
        m_pressTime = press.time;
    }
    // Pass unless the handler decides otherwise: a press that comes after its grab was released,
    // or whose handler throws, still thaws the device.
    InputDecision decision = InputDecision::Pass;
    try {
        if (key && m_keyHandler) {
            const KeyStroke stroke{m_keyboard.key(press.detail), m_keyboard.modifiers(press.state)};
            if (stroke.key == keysym::left || stroke.key == keysym::right) {
                decision = m_keyHandler(stroke);
            }
        } else if (!key && m_scrollHandler && press.detail >= 4 && press.detail <= 7) {
            ScrollInput input;
            input.deltaY = press.detail == 4 ? 1.0 : press.detail == 5 ? -1.0 : 0.0;
            input.deltaX = press.detail == 6 ? 1.0 : press.detail == 7 ? -1.0 : 0.0;
            input.location = m_toWindowSpace(press.root_x, press.root_y);
            input.modifiers = m_keyboard.modifiers(press.state);
            decision = m_scrollHandler(input);
        }
    } catch (const std::exception& error) {
        qCWarning(lcX11) << "the handler of a grabbed input failed:" << error.what();
        decision = InputDecision::Pass;
    } catch (...) {
        qCWarning(lcX11) << "the handler of a grabbed input failed";
        decision = InputDecision::Pass;
    }
    m_pressTime = XCB_CURRENT_TIME;
    answer(key, decision, press.time);
    if (!key && decision == InputDecision::Pass) {
        endHold();  // the gesture is over; what comes next belongs to the windows again
    }
    return true;
}

}  // namespace tessora::x11
