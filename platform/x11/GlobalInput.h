#pragma once

#include "platform/WindowSystem.h"
#include "platform/x11/X11KeyTranslation.h"

#include <xcb/xcb.h>
#include <QPointF>
#include <functional>
#include <memory>
#include <vector>

namespace tessora::x11 {

class Keyboard;
class X11Connection;

// Every combination of `base` with the lock modifiers and, each optionally, `extras`, so that
// a grab holds whatever else is pressed.
std::vector<uint16_t> modifierVariants(uint16_t base, const std::vector<uint16_t>& extras,
                                       const ModifierMasks& masks);

// The global input paths: synchronous passive grabs on the root window, so that each grabbed
// event waits for its handler, which passes it on (replayed to the window under the pointer or
// with the focus) or swallows it. Every grabbed press is answered at once with AllowEvents,
// whatever the handler does, since the pointer or keyboard stays frozen until then.
//
// Presses that queue up while a grabbed press keeps the pointer frozen do not activate the
// passive grab again when they are let through: a burst of wheel notches would reach the window
// under the pointer after its first notch. A scroll gesture therefore holds the pointer with an
// active grab of its own (asynchronous: nothing freezes) until its owner lets go, and the grab's
// presses come to the same handler.
class GlobalInput {
public:
    GlobalInput(X11Connection& connection, const Keyboard& keyboard,
                std::function<QPointF(int, int)> toWindowSpace);
    ~GlobalInput();

    // Alt with buttons 4-7 (wheel up, down, left, right), one notch a delta of 1.0: up and
    // left are positive, as the key and scroll rules expect. Null when another client holds any of
    // these grabs (BadAccess) or one is already held here; nothing stays grabbed then.
    std::unique_ptr<InputGrab> grabScroll(std::function<InputDecision(const ScrollInput&)> handler);
    // Takes the pointer for the scroll handler until the handle goes, the scroll grab goes, or
    // a press is passed on (it cannot be replayed from an active grab, and is lost). Null
    // without a scroll grab.
    std::unique_ptr<InputGrab> holdScroll();
    // Super+Alt+Left and Super+Alt+Right, with Shift or Ctrl held too or not.
    std::unique_ptr<InputGrab> grabKeys(std::function<InputDecision(const KeyStroke&)> handler);

    // Handles a grabbed press (true), or leaves the event to others (false).
    bool handle(const xcb_generic_event_t& event);

private:
    struct Grab {
        bool key = false;
        uint8_t detail = 0;  // button or key code
        uint16_t modifiers = 0;
    };
    class Handle;
    class Hold;

    // Takes all grabs as checked requests; releases them all when any fails.
    bool take(const std::vector<Grab>& grabs);
    void release(const std::vector<Grab>& grabs);
    void answer(bool key, InputDecision decision, xcb_timestamp_t time);
    void endHold();

    X11Connection& m_connection;
    const Keyboard& m_keyboard;
    std::function<QPointF(int, int)> m_toWindowSpace;
    std::function<InputDecision(const ScrollInput&)> m_scrollHandler;
    std::function<InputDecision(const KeyStroke&)> m_keyHandler;
    int m_holdId = 0;  // the live hold's, 0 when the pointer is not held
    int m_lastHoldId = 0;
    xcb_timestamp_t m_pressTime = XCB_CURRENT_TIME;  // of the press being handled
    std::shared_ptr<GlobalInput*> m_self;            // lets handles outlive this object safely
};

}  // namespace tessora::x11
