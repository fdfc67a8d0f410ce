#pragma once

#include "platform/WindowSystem.h"

#include <xcb/xcb.h>
#include <QPointF>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tessora::x11 {

class X11Connection;

// Presses of the left and right mouse buttons anywhere on the display, seen without taking them
// from anyone: XInput 2 raw button presses selected on the root window for all master devices.
// Raw events come whoever the press goes to, our own windows included, and (from XInput 2.1 on,
// which is asked for) also while another client holds the pointer, as a window manager does
// while a title bar is pressed. They carry no position, so the pointer is read once per press.
//
// Several watchers may be live at once; each press reaches all of them, oldest first. The events
// are selected while at least one watcher lives.
class PointerWatch {
public:
    PointerWatch(X11Connection& connection, std::function<QPointF(int, int)> toWindowSpace);
    ~PointerWatch();
    PointerWatch(const PointerWatch&) = delete;
    PointerWatch& operator=(const PointerWatch&) = delete;

    // Null when the server has no XInput 2 (asked once) or the events cannot be selected. The
    // handle may outlive this object.
    std::unique_ptr<InputGrab> watch(std::function<void(QPointF location)> handler);

    // Takes the raw events of XInput (true); leaves everything else to others (false).
    bool handle(const xcb_generic_event_t& event);

private:
    struct Watcher {
        int id = 0;
        std::function<void(QPointF)> handler;
    };
    class Handle;

    // XInput's major opcode when the server speaks version 2.0 or later.
    std::optional<uint8_t> extension();
    bool select(bool pressesWanted);
    void remove(int id);
    void deliver();

    X11Connection& m_connection;
    std::function<QPointF(int, int)> m_toWindowSpace;
    bool m_queried = false;
    std::optional<uint8_t> m_opcode;
    std::vector<Watcher> m_watchers;  // oldest first
    int m_lastId = 0;
    std::shared_ptr<PointerWatch*> m_self;  // lets handles outlive this object safely
};

}  // namespace tessora::x11
