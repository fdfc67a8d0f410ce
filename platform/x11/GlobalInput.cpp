#include "platform/x11/GlobalInput.h"

#include <memory>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Log.h"

#include <xcb/xcb_keysyms.h>
#include <cstdlib>
#include <exception>

namespace tessora::x11 {

namespace {

constexpr xcb_keysym_t kLeft = 0xff51;
constexpr xcb_keysym_t kRight = 0xff53;
constexpr xcb_keysym_t kNumLock = 0xff7f;
constexpr xcb_keysym_t kScrollLock = 0xff14;
constexpr xcb_keysym_t kAltL = 0xffe9;
constexpr xcb_keysym_t kSuperL = 0xffeb;

// The modifier bit whose keys include one that produces `symbol`; 0 when none does.
// The bit of the first modifier that holds a key producing `symbol`; 0 when none.
uint16_t modifierBitOf(const xcb_get_modifier_mapping_reply_t* mapping, xcb_key_symbols_t* symbols,
                       xcb_keysym_t symbol) {
    std::unique_ptr<xcb_keycode_t, decltype(&std::free)> codes(
        xcb_key_symbols_get_keycode(symbols, symbol), &std::free);
    if (!codes) {
        return 0;
    }
    const xcb_keycode_t* keys =
        xcb_get_modifier_mapping_keycodes(const_cast<xcb_get_modifier_mapping_reply_t*>(mapping));
    const int perModifier = mapping->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int k = 0; k < perModifier; ++k) {
            const xcb_keycode_t key = keys[modifier * perModifier + k];
            for (const xcb_keycode_t* code = codes.get(); key != 0 && *code != XCB_NO_SYMBOL;
                 ++code) {
                if (*code == key) {
                    return static_cast<uint16_t>(1u << modifier);
                }
            }
        }
    }
    return 0;
}

uint8_t keyCodeOf(xcb_key_symbols_t* symbols, xcb_keysym_t symbol) {
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, symbol);
    const uint8_t code = codes ? codes[0] : 0;
    std::free(codes);
    return code;
}

}  // namespace

ModifierMasks readModifierMasks(xcb_connection_t* connection, xcb_key_symbols_t* symbols) {
    ModifierMasks masks;
    std::unique_ptr<xcb_get_modifier_mapping_reply_t, decltype(&std::free)> mapping(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr),
        &std::free);
    if (!mapping || !symbols) {
        return masks;
    }
    if (const uint16_t alt = modifierBitOf(mapping.get(), symbols, kAltL)) {
        masks.alt = alt;
    }
    if (const uint16_t super = modifierBitOf(mapping.get(), symbols, kSuperL)) {
        masks.super = super;
    }
    masks.numLock = modifierBitOf(mapping.get(), symbols, kNumLock);
    masks.scrollLock = modifierBitOf(mapping.get(), symbols, kScrollLock);
    // A lock that shares its bit with another modifier would make grab variants the same.
    if (masks.scrollLock == masks.numLock || (masks.scrollLock & (masks.alt | masks.super))) {
        masks.scrollLock = 0;
    }
    return masks;
}

quint32 keyModifierFlags(uint16_t state, const ModifierMasks& masks) {
    quint32 flags = 0;
    if (state & XCB_MOD_MASK_SHIFT) {
        flags |= KeyModifiers::shift;
    }
    if (state & XCB_MOD_MASK_CONTROL) {
        flags |= KeyModifiers::command;
    }
    if (state & masks.alt) {
        flags |= KeyModifiers::option;
    }
    if (state & masks.super) {
        flags |= KeyModifiers::control;
    }
    return flags;
}

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
            }
        }
    }

private:
    std::weak_ptr<GlobalInput*> m_owner;
    std::vector<Grab> m_grabs;
    bool m_key;
};

GlobalInput::GlobalInput(X11Connection& connection, std::function<QPointF(int, int)> toWindowSpace)
    : m_connection(connection),
      m_toWindowSpace(std::move(toWindowSpace)),
      m_self(std::make_shared<GlobalInput*>(this)) {
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(connection.get());
    if (!symbols) {
        return;
    }
    m_masks = readModifierMasks(connection.get(), symbols);
    m_leftKey = keyCodeOf(symbols, kLeft);
    m_rightKey = keyCodeOf(symbols, kRight);
    xcb_key_symbols_free(symbols);
}

GlobalInput::~GlobalInput() = default;

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
    const std::vector<uint16_t> variants =
        modifierVariants(m_masks.alt, {XCB_MOD_MASK_SHIFT, XCB_MOD_MASK_CONTROL}, m_masks);
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

std::unique_ptr<InputGrab> GlobalInput::grabKeys(
    std::function<InputDecision(const KeyInput&)> handler) {
    if (m_keyHandler || !handler || m_leftKey == 0 || m_rightKey == 0) {
        return nullptr;
    }
    std::vector<Grab> grabs;
    const std::vector<uint16_t> variants = modifierVariants(
        m_masks.alt | m_masks.super, {XCB_MOD_MASK_SHIFT, XCB_MOD_MASK_CONTROL}, m_masks);
    for (const uint8_t key : {m_leftKey, m_rightKey}) {
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
    // Pass unless the handler decides otherwise: a press that comes after its grab was released,
    // or whose handler throws, still thaws the device.
    InputDecision decision = InputDecision::Pass;
    try {
        if (key && m_keyHandler) {
            KeyInput input;
            input.keyCode = press.detail == m_leftKey    ? KeyCodes::leftArrow
                            : press.detail == m_rightKey ? KeyCodes::rightArrow
                                                         : 0;
            input.modifiers = keyModifierFlags(press.state, m_masks);
            if (input.keyCode != 0) {
                decision = m_keyHandler(input);
            }
        } else if (!key && m_scrollHandler && press.detail >= 4 && press.detail <= 7) {
            ScrollInput input;
            input.deltaY = press.detail == 4 ? 1.0 : press.detail == 5 ? -1.0 : 0.0;
            input.deltaX = press.detail == 6 ? 1.0 : press.detail == 7 ? -1.0 : 0.0;
            input.location = m_toWindowSpace(press.root_x, press.root_y);
            input.modifiers = keyModifierFlags(press.state, m_masks);
            decision = m_scrollHandler(input);
        }
    } catch (const std::exception& error) {
        qCWarning(lcX11) << "the handler of a grabbed input failed:" << error.what();
        decision = InputDecision::Pass;
    } catch (...) {
        qCWarning(lcX11) << "the handler of a grabbed input failed";
        decision = InputDecision::Pass;
    }
    answer(key, decision, press.time);
    return true;
}

}  // namespace tessora::x11
