#pragma once

#include "platform/WindowSystem.h"

#include <xcb/xcb.h>
#include <functional>
#include <memory>

namespace tessora::x11 {

class Keyboard;
class X11Connection;

// Holds the whole keyboard for a short while: an active keyboard grab on the root window
// (owner events off, asynchronous), so that every key press goes to us whichever window has the
// focus, and is translated to a TypedKey for the holder. One hold at a time: a second request
// while one is live is refused, as is one while another client holds the keyboard.
//
// Releasing the hold ungrabs at once; presses that the server sent before the release but that
// were not read yet still reach the holder, before the release returns.
class KeyboardHold {
public:
    KeyboardHold(X11Connection& connection, const Keyboard& keyboard);
    ~KeyboardHold();
    KeyboardHold(const KeyboardHold&) = delete;
    KeyboardHold& operator=(const KeyboardHold&) = delete;

    // Null when the keyboard is grabbed or frozen by another client, or already held here. The
    // handle may outlive this object.
    std::unique_ptr<InputGrab> hold(std::function<void(const TypedKey&)> handler);

    // Takes the key events of a live hold (true); leaves everything else to others (false).
    bool handle(const xcb_generic_event_t& event);
    // Key events this predicate claims (the hot keys) are never taken as typed keys, not even
    // when the hold ends with presses still unread.
    void setPassOver(std::function<bool(const xcb_generic_event_t&)> passOver) {
        m_passOver = std::move(passOver);
    }

private:
    class Handle;
    void release(int id, bool deliverInFlight = true);

    X11Connection& m_connection;
    const Keyboard& m_keyboard;
    int m_holdId = 0;  // the live hold's, 0 when none
    int m_lastId = 0;
    std::function<void(const TypedKey&)> m_handler;
    std::function<bool(const xcb_generic_event_t&)> m_passOver;
    std::shared_ptr<KeyboardHold*> m_self;  // lets handles outlive this object safely
};

}  // namespace tessora::x11
