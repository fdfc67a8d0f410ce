#pragma once

#include "platform/x11/X11Atoms.h"

#include <xcb/xcb.h>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

class QSocketNotifier;

namespace tessora::x11 {

// What a connection has asked of the server so far, for tests and benchmarks.
struct Traffic {
    quint64 requests = 0;  // every request sent, from the sequence numbers
    // Waits for the server to answer requests that were not on their way yet when it was last
    // waited for; the replies of a batch of reads come in one (the input grabs' own checks are
    // not counted).
    quint64 roundTrips = 0;
    quint64 flushes = 0;  // writes of buffered requests through flush()
};

inline Traffic operator-(const Traffic& a, const Traffic& b) {
    return {a.requests - b.requests, a.roundTrips - b.roundTrips, a.flushes - b.flushes};
}

// A connection of the backend's own to the X server (Qt's connection drops X errors, so a grab
// that failed would go unnoticed there). Its events are read in Qt's event loop: when the
// socket becomes readable and before the loop blocks, since replies read in between may have
// queued events that no longer wake the socket.
//
// Requests that need no answer go out together once control returns to the event loop (as
// Qt's own xcb connection flushes), so that the writes of one pass cost one write to the
// server; a read that waits for a reply writes everything before it anyway.
//
// X errors never end the process: errors of checked requests go to whoever checks them; errors
// of unchecked requests arrive as events and are logged at debug level.
class X11Connection final : public QObject {
    Q_OBJECT

public:
    // Opens the display (empty: $DISPLAY). Null with `reason` when there is none.
    static std::unique_ptr<X11Connection> open(const QByteArray& display, QString* reason);
    ~X11Connection() override;

    xcb_connection_t* get() const { return m_connection; }
    // The display as named when connecting (given to the applications launched from here).
    const QByteArray& displayName() const { return m_displayName; }
    xcb_window_t root() const { return m_screen->root; }
    xcb_screen_t* screen() const { return m_screen; }
    int screenNumber() const { return m_screenNumber; }
    const Atoms& atoms() const { return m_atoms; }
    // A window of our own (never mapped): source of timestamps, sender of startup messages.
    xcb_window_t ownWindow() const { return m_ownWindow; }
    bool broken() const { return xcb_connection_has_error(m_connection) != 0; }

    // Notes a request whose reply will be read through reply(), so that waiting for the replies
    // of a whole batch of requests counts as one round trip.
    void expectReply(unsigned sequence) const;
    // The reply to the request of `cookie` (read as `read` would), counting a round trip when
    // it has not arrived yet and was not on its way at the last one. Null for an error (handed
    // over in `error` when given, else dropped) and on a broken connection.
    template <typename Reply, typename Cookie>
    Reply* reply(Reply* (*read)(xcb_connection_t*, Cookie, xcb_generic_error_t**), Cookie cookie,
                 xcb_generic_error_t** error = nullptr) const {
        void* arrived = nullptr;
        if (replyArrived(cookie.sequence, &arrived, error)) {
            return static_cast<Reply*>(arrived);
        }
        startsRoundTrip(cookie.sequence);
        return read(m_connection, cookie, error);
    }

    // Writes the requests buffered so far to the server.
    void flush();
    // Writes them once control returns to the event loop (at the latest when this ends).
    void flushLater();

    // What went to the server so far. Takes a request of its own to learn the sequence number;
    // that one is not counted.
    Traffic traffic();

    // The EWMH window manager's check window, when a live one points back at itself.
    std::optional<xcb_window_t> windowManagerCheck() const;
    // Whether the window manager lists the atom in _NET_SUPPORTED.
    bool supports(xcb_atom_t atom) const;

    // A current server timestamp, from a zero-length append to our own window (one round
    // trip); the time of the last event when that fails.
    xcb_timestamp_t serverTime();

    // Sends an EWMH client message about `window` to the root window (flushed later).
    void sendRootMessage(xcb_window_t window, xcb_atom_t type, const uint32_t (&data)[5]);

    // Reads and dispatches the events that are waiting (also called by the event loop).
    void dispatchPending();
    // Reads the events that are waiting and hands each to `take`; those it does not take are
    // kept, in order, for the next dispatchPending. Nothing else runs meanwhile, so a caller may
    // use it in the middle of handling something.
    void takePending(const std::function<bool(const xcb_generic_event_t&)>& take);

    // Every event except errors, in the order they arrive.
    std::function<void(const xcb_generic_event_t&)> onEvent;

private:
    X11Connection(xcb_connection_t* connection, int screenNumber);
    // Takes the reply (or error) to `sequence` when it is already here, without waiting.
    bool replyArrived(unsigned sequence, void** reply, xcb_generic_error_t** error) const;
    // About to wait for the reply to `sequence`, which waiting flushes with every request before.
    void startsRoundTrip(unsigned sequence) const;
    void handle(xcb_generic_event_t* event);

    xcb_connection_t* m_connection = nullptr;
    QByteArray m_displayName;
    xcb_screen_t* m_screen = nullptr;
    int m_screenNumber = 0;
    Atoms m_atoms;
    xcb_window_t m_ownWindow = XCB_WINDOW_NONE;
    xcb_timestamp_t m_lastTime = XCB_CURRENT_TIME;
    mutable Traffic m_traffic;
    mutable unsigned m_lastExpected = 0;   // the latest request whose reply will be read
    mutable unsigned m_lastRoundTrip = 0;  // the latest request on its way at the last wait
    bool m_flushPosted = false;
    quint64 m_trafficProbes = 0;
    QSocketNotifier* m_notifier = nullptr;
    std::deque<std::unique_ptr<xcb_generic_event_t, decltype(&std::free)>> m_deferred;
};

}  // namespace tessora::x11
