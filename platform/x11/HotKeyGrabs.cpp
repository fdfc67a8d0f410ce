#include "platform/x11/HotKeyGrabs.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11Log.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <set>

namespace tessora::x11 {

namespace {

// Key events carry the pointer buttons above the eight modifier bits.
constexpr uint16_t kKeyModifierBits = 0xff;

}  // namespace

class HotKeyGrabs::Handle final : public InputGrab {
public:
    Handle(std::weak_ptr<HotKeyGrabs*> owner, int id) : m_owner(std::move(owner)), m_id(id) {}
    ~Handle() override {
        if (const std::shared_ptr<HotKeyGrabs*> owner = m_owner.lock()) {
            (*owner)->remove(m_id);
        }
    }

private:
    std::weak_ptr<HotKeyGrabs*> m_owner;
    int m_id;
};

HotKeyGrabs::HotKeyGrabs(X11Connection& connection, const Keyboard& keyboard)
    : m_connection(connection),
      m_keyboard(keyboard),
      m_self(std::make_shared<HotKeyGrabs*>(this)) {}

HotKeyGrabs::~HotKeyGrabs() {
    m_self.reset();  // handles left over do nothing from now on
    std::vector<GrabKey> all;
    for (const auto& [grab, users] : m_held) {
        all.push_back(grab);
    }
    release(all);
}

uint16_t HotKeyGrabs::lockMask() const {
    return m_keyboard.masks().locks();
}

bool HotKeyGrabs::resolve(Binding& binding) const {
    binding.keyCodes = m_keyboard.keycodes(binding.combination.key);
    binding.grabs.clear();
    if (binding.keyCodes.empty()) {
        return false;
    }
    const ModifierMasks& masks = m_keyboard.masks();
    binding.modifiers = m_keyboard.state(binding.combination.modifiers);
    std::vector<uint16_t> extras;
    if (masks.scrollLock != 0) {
        extras.push_back(masks.scrollLock);
    }
    for (const uint8_t key : binding.keyCodes) {
        for (const uint16_t variant : modifierVariants(binding.modifiers, extras, masks)) {
            binding.grabs.emplace_back(key, variant);
        }
    }
    return true;
}

std::set<HotKeyGrabs::GrabKey> HotKeyGrabs::request(const std::vector<GrabKey>& grabs) {
    xcb_connection_t* c = m_connection.get();
    std::vector<xcb_void_cookie_t> cookies;
    for (const GrabKey& grab : grabs) {
        // Not owner_events: the press is reported on the root window even when one of our own
        // windows has the focus, so that it always reaches handle().
        cookies.push_back(xcb_grab_key_checked(c, 0, m_connection.root(), grab.second, grab.first,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    std::set<GrabKey> refused;
    for (std::size_t i = 0; i < cookies.size(); ++i) {
        if (xcb_generic_error_t* error = xcb_request_check(c, cookies[i])) {
            refused.insert(grabs[i]);  // BadAccess: another client holds it
            std::free(error);
        }
    }
    if (m_connection.broken()) {
        refused.insert(grabs.begin(), grabs.end());  // a broken connection holds nothing
    }
    return refused;
}

bool HotKeyGrabs::take(const Binding& binding) {
    std::vector<GrabKey> fresh;
    for (const GrabKey& grab : binding.grabs) {
        if (!m_held.contains(grab)) {  // else ours already, for another handle
            fresh.push_back(grab);
        }
    }
    if (!request(fresh).empty()) {
        // Ungrabbing a combination that another client holds does nothing, so all of them go.
        release(fresh);
        return false;
    }
    for (const GrabKey& grab : binding.grabs) {
        ++m_held[grab];
    }
    return true;
}

void HotKeyGrabs::release(const std::vector<GrabKey>& grabs) {
    if (grabs.empty() || m_connection.broken()) {
        return;
    }
    xcb_connection_t* c = m_connection.get();
    for (const GrabKey& grab : grabs) {
        xcb_ungrab_key(c, grab.first, m_connection.root(), grab.second);
    }
    // A round trip: the keys are free for others once this returns.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

std::unique_ptr<InputGrab> HotKeyGrabs::grab(const KeyStroke& combination,
                                             std::function<void()> onPress) {
    if (!onPress || m_connection.broken()) {
        return nullptr;
    }
    Binding binding;
    binding.combination = combination;
    binding.onPress = std::move(onPress);
    if (!resolve(binding)) {
        qCDebug(lcX11) << "no key for the hot key" << Qt::hex << combination.key
                       << "on this keyboard";
        return nullptr;
    }
    if (!take(binding)) {
        qCDebug(lcX11) << "the hot key" << Qt::hex << combination.key
                       << combination.modifiers.toInt() << "is held by another program";
        return nullptr;
    }
    binding.id = ++m_lastId;
    m_bindings.push_back(std::move(binding));
    return std::make_unique<Handle>(m_self, m_lastId);
}

void HotKeyGrabs::remove(int id) {
    const auto found = std::find_if(m_bindings.begin(), m_bindings.end(),
                                    [id](const Binding& b) { return b.id == id; });
    if (found == m_bindings.end()) {
        return;
    }
    std::vector<GrabKey> unused;
    for (const GrabKey& grab : found->grabs) {
        const auto held = m_held.find(grab);
        if (held != m_held.end() && --held->second == 0) {
            m_held.erase(held);
            unused.push_back(grab);
        }
    }
    m_bindings.erase(found);
    release(unused);
}

void HotKeyGrabs::followMapping() {
    // Grabs that the new map leaves as they were are kept throughout, so that no press slips
    // past while the map changes (XTEST input alone makes the server report a new map).
    std::map<GrabKey, int> wanted;
    for (Binding& binding : m_bindings) {
        if (resolve(binding)) {
            for (const GrabKey& grab : binding.grabs) {
                ++wanted[grab];
            }
        }
    }
    std::vector<GrabKey> fresh;
    for (const auto& [grab, users] : wanted) {
        if (!m_held.contains(grab)) {
            fresh.push_back(grab);
        }
    }
    const std::set<GrabKey> refused = request(fresh);
    for (Binding& binding : m_bindings) {
        const bool kept = !binding.keyCodes.empty() &&
                          std::none_of(binding.grabs.begin(), binding.grabs.end(),
                                       [&](const GrabKey& grab) { return refused.contains(grab); });
        if (kept) {
            continue;
        }
        qCWarning(lcX11) << "the hot key" << Qt::hex << binding.combination.key
                         << "could not be kept after the keyboard map changed";
        for (const GrabKey& grab : binding.grabs) {
            --wanted[grab];
        }
        binding.keyCodes.clear();
        binding.grabs.clear();
    }
    std::vector<GrabKey> unused;
    for (const auto& [grab, users] : m_held) {
        const auto next = wanted.find(grab);
        if (next == wanted.end() || next->second == 0) {
            unused.push_back(grab);
        }
    }
    for (const GrabKey& grab : fresh) {
        if (!refused.contains(grab) && wanted[grab] == 0) {
            unused.push_back(grab);  // taken just now for a hot key that lost another of its grabs
        }
    }
    std::erase_if(wanted, [](const auto& entry) { return entry.second == 0; });
    m_held = std::move(wanted);
    release(unused);
}

bool HotKeyGrabs::matches(const xcb_generic_event_t& event) const {
    const uint8_t type = event.response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) {
        return false;
    }
    const auto& key = reinterpret_cast<const xcb_key_press_event_t&>(event);
    const uint16_t modifiers = key.state & kKeyModifierBits & ~lockMask();
    return std::any_of(m_bindings.begin(), m_bindings.end(), [&](const Binding& b) {
        return b.modifiers == modifiers &&
               std::find(b.keyCodes.begin(), b.keyCodes.end(), key.detail) != b.keyCodes.end();
    });
}

bool HotKeyGrabs::handle(const xcb_generic_event_t& event) {
    const uint8_t type = event.response_type & 0x7f;
    if (type == XCB_MAPPING_NOTIFY) {
        const auto& notify = reinterpret_cast<const xcb_mapping_notify_event_t&>(event);
        if (notify.request != XCB_MAPPING_POINTER && !m_bindings.empty()) {
            followMapping();
        }
        return false;  // others may follow the map too
    }
    if (type == XCB_KEY_RELEASE) {
        const auto& release = reinterpret_cast<const xcb_key_release_event_t&>(event);
        if (release.event == m_connection.root()) {
            m_releasedKey = release.detail;
            m_releaseTime = release.time;
        }
        return false;
    }
    if (type != XCB_KEY_PRESS) {
        return false;
    }
    const auto& press = reinterpret_cast<const xcb_key_press_event_t&>(event);
    if (press.event != m_connection.root()) {
        return false;
    }
    const uint16_t modifiers = press.state & kKeyModifierBits & ~lockMask();
    const auto match = std::find_if(m_bindings.rbegin(), m_bindings.rend(), [&](const Binding& b) {
        return b.modifiers == modifiers &&
               std::find(b.keyCodes.begin(), b.keyCodes.end(), press.detail) != b.keyCodes.end();
    });
    if (match == m_bindings.rend()) {
        return false;
    }
    if (press.detail == m_releasedKey && press.time == m_releaseTime) {
        return true;  // auto-repeat of a held hot key
    }
    // A copy: the handler may release its own hot key or register another.
    const std::function<void()> onPress = match->onPress;
    try {
        onPress();
    } catch (const std::exception& error) {
        qCWarning(lcX11) << "the hot key's handler failed:" << error.what();
    } catch (...) {
        qCWarning(lcX11) << "the hot key's handler failed";
    }
    return true;
}

}  // namespace tessora::x11
