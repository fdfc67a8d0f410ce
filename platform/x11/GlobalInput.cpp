#include "platform/x11/GlobalInput.h"

#include "platform/x11/InputGrabProtocol.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11GrabHelper.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11Log.h"
#include "platform/x11/X11PointSpace.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <memory>

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

namespace {

// Runs a handler of a grabbed input; one that throws loses only that input.
template <typename Handler, typename Input>
void deliver(const Handler& handler, const Input& input) {
    try {
        handler(input);
    } catch (const std::exception& error) {
        qCWarning(lcX11) << "the handler of a grabbed input failed:" << error.what();
    } catch (...) {
        qCWarning(lcX11) << "the handler of a grabbed input failed";
    }
}

}  // namespace

class GlobalInput::KeyHandle final : public InputGrab {
public:
    KeyHandle(std::weak_ptr<GlobalInput*> owner, std::vector<KeyGrab> grabs)
        : m_owner(std::move(owner)), m_grabs(std::move(grabs)) {}
    ~KeyHandle() override {
        if (const std::shared_ptr<GlobalInput*> owner = m_owner.lock()) {
            (*owner)->release(m_grabs);
            (*owner)->m_keyHandler = nullptr;
        }
    }

private:
    std::weak_ptr<GlobalInput*> m_owner;
    std::vector<KeyGrab> m_grabs;
};

class GlobalInput::ScrollHandle final : public InputGrab {
public:
    ScrollHandle(std::weak_ptr<GlobalInput*> owner, uint32_t serial)
        : m_owner(std::move(owner)), m_serial(serial) {}
    ~ScrollHandle() override {
        if (const std::shared_ptr<GlobalInput*> owner = m_owner.lock()) {
            (*owner)->releaseScroll(m_serial);
        }
    }

private:
    std::weak_ptr<GlobalInput*> m_owner;
    uint32_t m_serial;
};

GlobalInput::GlobalInput(X11Connection& connection, const Keyboard& keyboard,
                         const PointSpace& points)
    : m_connection(connection),
      m_keyboard(keyboard),
      m_points(points),
      m_self(std::make_shared<GlobalInput*>(this)) {}

GlobalInput::~GlobalInput() = default;

bool GlobalInput::take(const std::vector<KeyGrab>& grabs) {
    xcb_connection_t* c = m_connection.get();
    std::vector<xcb_void_cookie_t> cookies;
    for (const KeyGrab& grab : grabs) {
        cookies.push_back(xcb_grab_key_checked(c, 0, m_connection.root(), grab.modifiers, grab.key,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
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

void GlobalInput::release(const std::vector<KeyGrab>& grabs) {
    xcb_connection_t* c = m_connection.get();
    for (const KeyGrab& grab : grabs) {
        xcb_ungrab_key(c, grab.key, m_connection.root(), grab.modifiers);
    }
    xcb_flush(c);
}

std::unique_ptr<InputGrab> GlobalInput::grabScroll(
    const ScrollGrabRule& rule, std::function<void(const ScrollInput&)> handler) {
    if (m_scroll || !handler || m_connection.broken()) {
        return nullptr;
    }
    grabprotocol::Request request;
    request.kind = grabprotocol::Request::GrabScroll;
    request.serial = ++m_lastSerial;
    // The helper decides in root pixels.
    const QPoint topLeft = m_points.toPixels(rule.area.x, rule.area.y);
    request.x = topLeft.x();
    request.y = topLeft.y();
    request.width = m_points.toPixels(rule.area.width);
    request.height = m_points.toPixels(rule.area.height);
    request.gestureMs = static_cast<uint32_t>(std::max<qint64>(0, rule.gesture.count()));
    const ModifierMasks& masks = m_keyboard.masks();
    const std::vector<uint16_t> variants =
        modifierVariants(masks.alt, {XCB_MOD_MASK_SHIFT, XCB_MOD_MASK_CONTROL}, masks);
    for (const uint16_t modifiers : variants) {
        if (request.variantCount < grabprotocol::kMaxVariants) {
            request.modifiers[request.variantCount++] = modifiers;
        }
    }
    if (!m_helper) {
        m_helper = std::make_unique<GrabHelper>(
            m_connection.displayName(),
            [this](const grabprotocol::Report& report) { onScroll(report); });
    }
    if (!m_helper->grab(request)) {
        qCWarning(lcX11) << "Alt+scroll cannot be grabbed (another program holds it, or the"
                         << "grab helper is missing); it stays unavailable";
        return nullptr;
    }
    m_scroll = ScrollGrab{request.serial, std::move(handler)};
    return std::make_unique<ScrollHandle>(m_self, request.serial);
}

void GlobalInput::releaseScroll(uint32_t serial) {
    if (!m_scroll || m_scroll->serial != serial) {
        return;
    }
    m_scroll.reset();
    m_helper->release(serial);
}

void GlobalInput::onScroll(const grabprotocol::Report& report) {
    // A press taken for a grab released since belongs to no one.
    if (!m_scroll || m_scroll->serial != report.serial) {
        return;
    }
    ScrollInput input;
    input.deltaY = report.button == 4 ? 1.0 : report.button == 5 ? -1.0 : 0.0;
    input.deltaX = report.button == 6 ? 1.0 : report.button == 7 ? -1.0 : 0.0;
    input.location = m_points.toPoints(report.rootX, report.rootY);
    input.modifiers = m_keyboard.modifiers(report.state);
    // A copy: the handler may release its own grab.
    const std::function<void(const ScrollInput&)> handler = m_scroll->handler;
    deliver(handler, input);
}

std::unique_ptr<InputGrab> GlobalInput::grabKeys(std::function<void(const KeyStroke&)> handler) {
    const std::vector<xcb_keycode_t> left = m_keyboard.keycodes(keysym::left);
    const std::vector<xcb_keycode_t> right = m_keyboard.keycodes(keysym::right);
    if (m_keyHandler || !handler || left.empty() || right.empty()) {
        return nullptr;
    }
    std::vector<KeyGrab> grabs;
    const ModifierMasks& masks = m_keyboard.masks();
    const std::vector<uint16_t> variants = modifierVariants(
        masks.alt | masks.super, {XCB_MOD_MASK_SHIFT, XCB_MOD_MASK_CONTROL}, masks);
    for (const xcb_keycode_t key : {left.front(), right.front()}) {
        for (const uint16_t modifiers : variants) {
            grabs.push_back(KeyGrab{key, modifiers});
        }
    }
    if (!take(grabs)) {
        qCWarning(lcX11) << "Super+Alt+Left/Right is taken by another program; it stays "
                            "unavailable";
        return nullptr;
    }
    m_keyHandler = std::move(handler);
    return std::make_unique<KeyHandle>(m_self, std::move(grabs));
}

bool GlobalInput::handle(const xcb_generic_event_t& event) {
    const uint8_t type = event.response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) {
        return false;
    }
    const auto& key = reinterpret_cast<const xcb_key_press_event_t&>(event);
    if (key.event != m_connection.root()) {
        return false;
    }
    // The server took the key already; a release is the other half of a taken press, a press
    // after its grab went is nobody's.
    if (type == XCB_KEY_PRESS && m_keyHandler) {
        const KeyStroke stroke{m_keyboard.key(key.detail), m_keyboard.modifiers(key.state)};
        if (stroke.key == keysym::left || stroke.key == keysym::right) {
            const std::function<void(const KeyStroke&)> handler = m_keyHandler;
            deliver(handler, stroke);
        }
    }
    return true;
}

}  // namespace tessora::x11
