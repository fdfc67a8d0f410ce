#pragma once

#include "platform/x11/InputGrabProtocol.h"

#include <xcb/xcb.h>
#include <chrono>
#include <optional>

namespace tessora::x11 {

// The grab helper's work: holds the program's Alt+scroll grab on a connection of its own and
// decides every grabbed press at once from the rule the program sent, so that nothing the
// program does (or fails to do) can keep the pointer frozen.
//
// A press of the passive grab freezes the pointer until it is answered; each is answered
// before the next event is read: taken (and reported to the program) when it is a wheel press
// inside the rule's area, else replayed to the window under the pointer. A taken press with a
// gesture turns the grab into an active one of its own, synchronous too: the notches that a fast
// wheel sends meanwhile all come here (presses the server queued while the pointer was frozen
// would skip the passive grab once it thawed), and any other button's event ends the gesture and
// is replayed where it would have gone. The gesture ends as well once no notch came for the
// rule's gesture time, or when the program lets go of the grab.
class GrabServer {
public:
    GrabServer(xcb_connection_t* connection, xcb_window_t root, int socket);

    // Serves until the program's end of the socket closes (0) or the display goes (1).
    int run();

private:
    using Clock = std::chrono::steady_clock;

    void handleRequest(const grabprotocol::Request& request);
    void handleEvent(const xcb_generic_event_t& event);
    void grab(const grabprotocol::Request& request);
    void release();
    void ungrabButtons(const grabprotocol::Request& rule);
    // Turns the passive grab of the press at `time` into the gesture's active grab.
    bool startGesture(xcb_timestamp_t time);
    void endGesture();
    void take(const xcb_button_press_event_t& press);
    void allow(uint8_t mode, xcb_timestamp_t time);
    bool inside(int x, int y) const;
    void report(const grabprotocol::Report& report);

    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    int m_socket;
    std::optional<grabprotocol::Request> m_rule;  // the grab held, when one is
    bool m_gesture = false;                       // the pointer is held for a gesture
    Clock::time_point m_gestureEnd;
};

}  // namespace tessora::x11
