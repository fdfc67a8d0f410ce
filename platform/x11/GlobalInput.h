#pragma once

#include "platform/WindowSystem.h"
#include "platform/x11/X11KeyTranslation.h"

#include <xcb/xcb.h>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tessora::x11 {

class GrabHelper;
class Keyboard;
class PointSpace;
class X11Connection;
namespace grabprotocol {
struct Report;
}

// Every combination of `base` with the lock modifiers and, each optionally, `extras`, so that
// a grab holds whatever else is pressed.
std::vector<uint16_t> modifierVariants(uint16_t base, const std::vector<uint16_t>& extras,
                                       const ModifierMasks& masks);

// The global input paths, none of which ever waits for the main thread:
//
// - Alt+scroll needs a passive grab that freezes the pointer until each press is passed on or
//   taken, by a rule the program sets (the press is inside an area, a gesture is going on).
//   Whoever answers must always answer at once, also while the program is stopped (SIGSTOP, a
//   debugger, Ctrl+Z) or busy: the grab is held by a helper process (GrabHelper) that decides
//   from its copy of the rule and reports the presses it took, which reach the handler from
//   the main thread's event loop.
// - Super+Alt+Left/Right are always taken: asynchronous passive grabs on our own connection,
//   which freeze nothing; the presses wait in the socket for the main thread.
class GlobalInput {
public:
    GlobalInput(X11Connection& connection, const Keyboard& keyboard, const PointSpace& points);
    ~GlobalInput();

    // Alt with buttons 4-7 (wheel up, down, left, right), one notch a delta of 1.0: up and
    // left are positive, as the key and scroll rules expect. Null when another client holds any
    // of these grabs (BadAccess), one is already held here, or the helper cannot be had;
    // nothing stays grabbed then.
    std::unique_ptr<InputGrab> grabScroll(const ScrollGrabRule& rule,
                                          std::function<void(const ScrollInput&)> handler);
    // Super+Alt+Left and Super+Alt+Right, with Shift or Ctrl held too or not.
    std::unique_ptr<InputGrab> grabKeys(std::function<void(const KeyStroke&)> handler);

    // Handles the key events of the key grab (true), or leaves the event to others (false).
    bool handle(const xcb_generic_event_t& event);

private:
    struct KeyGrab {
        uint8_t key = 0;
        uint16_t modifiers = 0;
    };
    struct ScrollGrab {
        uint32_t serial = 0;
        std::function<void(const ScrollInput&)> handler;
    };
    class KeyHandle;
    class ScrollHandle;

    // Takes all grabs as checked requests; releases them all when any fails.
    bool take(const std::vector<KeyGrab>& grabs);
    void release(const std::vector<KeyGrab>& grabs);
    void releaseScroll(uint32_t serial);
    void onScroll(const grabprotocol::Report& report);

    X11Connection& m_connection;
    const Keyboard& m_keyboard;
    const PointSpace& m_points;
    std::unique_ptr<GrabHelper> m_helper;  // started with the first scroll grab
    std::optional<ScrollGrab> m_scroll;
    uint32_t m_lastSerial = 0;
    std::function<void(const KeyStroke&)> m_keyHandler;
    std::shared_ptr<GlobalInput*> m_self;  // lets handles outlive this object safely
};

}  // namespace tessora::x11
