#pragma once

#include "platform/WindowSystem.h"
#include "platform/x11/GlobalInput.h"

#include <xcb/xcb.h>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace tessora::x11 {

class Keyboard;
class X11Connection;

// System-wide hot keys: passive key grabs on the root window, one for every combination of the
// hot key's modifiers with the lock modifiers (Caps Lock, NumLock, Scroll Lock when mapped), so
// that a lock that happens to be on does not defeat it. The grabs are asynchronous: the press is
// taken from the focused window by the grab itself and nothing waits for us.
//
// Auto-repeat fires a hot key once: X repeats a held key as a KeyRelease and a KeyPress with the
// same timestamp, and such a press is swallowed without calling the handler.
//
// A change of the keyboard map (MappingNotify) moves the grabs to the keys and modifier bits of
// the new map; a hot key that cannot be had there any more stays inert, with a warning.
//
// The same combination may be held by several handles at once (a shortcut re-registered before
// the old handle goes): the X grab is shared and lives until the last of them goes, and a press
// reaches the newest only.
class HotKeyGrabs {
public:
    // `keyboard` must have followed a change of the map before handle() hears of it.
    HotKeyGrabs(X11Connection& connection, const Keyboard& keyboard);
    ~HotKeyGrabs();
    HotKeyGrabs(const HotKeyGrabs&) = delete;
    HotKeyGrabs& operator=(const HotKeyGrabs&) = delete;

    // Null when the key is not on this keyboard or another client holds any of the variants;
    // nothing stays grabbed then. The handle may outlive this object.
    std::unique_ptr<InputGrab> grab(const KeyStroke& combination, std::function<void()> onPress);

    // Takes the presses (and their repeats) of live hot keys: true when the event was one.
    // Follows keyboard-map changes; other events are left alone (false).
    bool handle(const xcb_generic_event_t& event);
    // Whether `event` is a press or release of a registered hot key (without handling it).
    bool matches(const xcb_generic_event_t& event) const;

private:
    // One passive grab: key code and X modifier state.
    using GrabKey = std::pair<uint8_t, uint16_t>;
    struct Binding {
        int id = 0;
        KeyStroke combination;
        std::function<void()> onPress;
        std::vector<uint8_t> keyCodes;  // empty while the key is not on the keyboard
        uint16_t modifiers = 0;         // the X modifiers without any lock
        std::vector<GrabKey> grabs;
    };
    class Handle;

    // Key codes, X modifiers and grabs of `binding.combination` on the current map; false when
    // the key is missing.
    bool resolve(Binding& binding) const;
    // Grabs the keys as checked requests: those that another client holds.
    std::set<GrabKey> request(const std::vector<GrabKey>& grabs);
    // Takes the grabs of `binding` (those not held here already); releases what it took when
    // any fails.
    bool take(const Binding& binding);
    // Ungrabs the keys, with a round trip: they are free for others when it returns.
    void release(const std::vector<GrabKey>& grabs);
    void remove(int id);
    void followMapping();
    uint16_t lockMask() const;

    X11Connection& m_connection;
    const Keyboard& m_keyboard;
    std::vector<Binding> m_bindings;  // oldest first
    std::map<GrabKey, int> m_held;    // grabs held, with the number of bindings using each
    int m_lastId = 0;
    // The latest release of a key on the root window: a press of the same key with the same
    // time is its auto-repeat.
    uint8_t m_releasedKey = 0;
    xcb_timestamp_t m_releaseTime = XCB_CURRENT_TIME;
    std::shared_ptr<HotKeyGrabs*> m_self;  // lets handles outlive this object safely
};

}  // namespace tessora::x11
