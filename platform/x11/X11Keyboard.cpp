#include "platform/x11/X11Keyboard.h"

#include "platform/x11/X11Connection.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace tessora::x11 {

namespace {

// The bit of the first modifier that holds a key producing `symbol`; 0 when none does.
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

}  // namespace

Keyboard::Keyboard(X11Connection& connection)
    : m_connection(connection), m_symbols(xcb_key_symbols_alloc(connection.get())) {
    readModifiers();
}

Keyboard::~Keyboard() {
    if (m_symbols) {
        xcb_key_symbols_free(m_symbols);
    }
}

void Keyboard::readModifiers() {
    m_masks = ModifierMasks{};
    xcb_connection_t* c = m_connection.get();
    std::unique_ptr<xcb_get_modifier_mapping_reply_t, decltype(&std::free)> mapping(
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr), &std::free);
    if (!mapping || !m_symbols) {
        return;
    }
    // Alt and Super keep their usual bits where the map does not say.
    if (const uint16_t alt = modifierBitOf(mapping.get(), m_symbols, keysym::altL)) {
        m_masks.alt = alt;
    }
    if (const uint16_t super = modifierBitOf(mapping.get(), m_symbols, keysym::superL)) {
        m_masks.super = super;
    }
    m_masks.numLock = modifierBitOf(mapping.get(), m_symbols, keysym::numLock);
    m_masks.scrollLock = modifierBitOf(mapping.get(), m_symbols, keysym::scrollLock);
    // A lock that shares its bit with another modifier would make grab variants the same.
    if (m_masks.scrollLock == m_masks.numLock ||
        (m_masks.scrollLock & (m_masks.alt | m_masks.super))) {
        m_masks.scrollLock = 0;
    }
}

void Keyboard::follow(const xcb_mapping_notify_event_t& event) {
    if (event.request == XCB_MAPPING_POINTER || !m_symbols) {
        return;
    }
    // xcb-keysyms forgets the key map it holds; the next lookup reads it again.
    xcb_refresh_keyboard_mapping(m_symbols, const_cast<xcb_mapping_notify_event_t*>(&event));
    readModifiers();
}

std::vector<xcb_keycode_t> Keyboard::keycodes(Keysym key) const {
    std::vector<xcb_keycode_t> result;
    if (!m_symbols || key == keysym::none) {
        return result;
    }
    if (xcb_keycode_t* codes = xcb_key_symbols_get_keycode(m_symbols, key)) {
        for (const xcb_keycode_t* code = codes; *code != XCB_NO_SYMBOL; ++code) {
            if (std::find(result.begin(), result.end(), *code) == result.end()) {
                result.push_back(*code);
            }
        }
        std::free(codes);
    }
    return result;
}

Keysym Keyboard::key(xcb_keycode_t keycode) const {
    return m_symbols ? keyMeaning(keyLevels(m_symbols, keycode), keycode) : keysym::none;
}

TypedKey Keyboard::typed(xcb_keycode_t keycode, uint16_t state) const {
    if (!m_symbols) {
        return {};
    }
    return typedKey(keyLevels(m_symbols, keycode), keycode, state, m_masks);
}

}  // namespace tessora::x11
