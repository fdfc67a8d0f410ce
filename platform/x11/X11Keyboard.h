#pragma once

#include "platform/Keys.h"
#include "platform/x11/X11KeyTranslation.h"

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <vector>

namespace tessora::x11 {

class X11Connection;

// The server's keyboard as the backend sees it: the keysyms of every key and the modifier bits
// of Alt, Super and the locks. One instance serves the hot keys, the global key grabs, the
// keyboard hold and the translation of our own windows' key events, so the map is read once
// and followed once when it changes. Main thread only.
class Keyboard {
public:
    // Reads the modifier map (one round trip); the key map is read on the first lookup.
    explicit Keyboard(X11Connection& connection);
    ~Keyboard();
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    // Follows a change of the keyboard or modifier map (MappingNotify). Call it before anyone
    // else hears of the change.
    void follow(const xcb_mapping_notify_event_t& event);

    const ModifierMasks& masks() const { return m_masks; }
    KeyModifiers modifiers(uint16_t state) const { return keyModifiers(state, m_masks); }
    uint16_t state(KeyModifiers modifiers) const { return modifierState(modifiers, m_masks); }

    // The key codes that produce `key` (on any level); empty when the keyboard lacks it.
    std::vector<xcb_keycode_t> keycodes(Keysym key) const;
    // What the key with this key code means (see keyMeaning).
    Keysym key(xcb_keycode_t keycode) const;
    // A press of the key with this key code in the modifier `state`.
    TypedKey typed(xcb_keycode_t keycode, uint16_t state) const;

private:
    void readModifiers();

    X11Connection& m_connection;
    xcb_key_symbols_t* m_symbols = nullptr;
    ModifierMasks m_masks;
};

}  // namespace tessora::x11
