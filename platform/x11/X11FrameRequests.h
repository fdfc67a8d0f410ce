#pragma once

#include "platform/x11/X11SizeHints.h"

#include <xcb/xcb.h>
#include <QHash>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSet>
#include <QSize>
#include <optional>

namespace tessora::x11 {

// A move, or a move and resize, of a client window as the backend asks the window manager for
// it (_NET_MOVERESIZE_WINDOW with north-west gravity): the top-left corner of the window
// manager's frame goes to `frameOrigin`, and the client takes `clientSize` when one is given.

// it (_NET_MOVERESIZE_WINDOW with north-west gravity): the outer frame's top-left corner goes to
// `frameOrigin`, and the client takes `clientSize` when one is given.
//
// The backend gives every request a size, a move the size the client has: some window managers
// (fluxbox) fill the values a request leaves out from the frame, decorations included, and take
// them as the client's, so each move-only request would make the window taller by its
// decorations.
struct FrameRequest {
    QPoint frameOrigin;
    std::optional<QSize> clientSize;  // absent: a move only
};

// What the backend last asked for each window, and the window's decorations, so that a request
// equal to the last one is not sent again and a resize needs no read first: only what changed
// goes to the server, as a window manager pushes its own state.
//
// The window manager has the last word, so the last request counts as standing only while
// nothing says the window is elsewhere. A ConfigureNotify that shows the client anywhere else
// (the window manager clamped or rounded it, the user moved it), decorations that may have
// changed, or unmapping make it lapse; only a read that finds the client where the request put
// it makes it stand again. Events never confirm: one queued before a read may be older than
// what the read saw. A read made before the window manager took the request makes it lapse too:
// one request too many at worst, never one too few. Pure bookkeeping: the backend feeds it
// reads and events.
class FrameRequests {
public:
    // Whether `request` would ask again exactly what the standing request asks.
    bool repeats(xcb_window_t window, const FrameRequest& request) const;
    // Notes `request` as sent. True the first time the window is written: its events must then
    // be watched for what follows.
    bool sent(xcb_window_t window, const FrameRequest& request);

    // A read found the client at `clientRect` inside a frame at `frameRect` (root coordinates,
    // extents included), its parent a window manager's frame or not (`reparented`), drawing a
    // `shadow` inside its own edges: learns the decorations, and whether the last request
    // stands.
    void read(xcb_window_t window, const QRect& clientRect, const QRect& frameRect, bool reparented,
              const QMargins& shadow = {});
    // The sizes the client said it takes, as last read (none: any size).
    void sizeHintsRead(xcb_window_t window, const std::optional<SizeHints>& hints);
    std::optional<SizeHints> sizeHints(xcb_window_t window) const;
    // The client's extents (left, top, right, bottom) as last read, unless they may have changed.
    std::optional<QMargins> extents(xcb_window_t window) const;
    // The client's shadow as last read, known exactly when the extents are.
    std::optional<QMargins> shadow(xcb_window_t window) const;

    // States in which the window manager holds a window where it is, whatever it is asked.
    enum HeldState : unsigned { kMaximized = 1u << 0, kFullScreen = 1u << 1 };
    // A read found the window in these states (a combination of HeldState).
    void statesRead(xcb_window_t window, unsigned held);
    // The states the window was last read in, forgotten as they are taken: the caller asks the
    // window manager to end them.
    unsigned takeHeld(xcb_window_t window);

    // The client's size as last read or asked for since, unless an event showed it otherwise
    // (the window manager rounded it, the user resized it, or the event is older than the
    // request: only a read tells which). A window not written to before is not watched: its
    // size is the one its last read found.
    std::optional<QSize> size(xcb_window_t window) const;

    // A ConfigureNotify about the client's inside area: in root coordinates when `synthetic`
    // (the window manager's, ICCCM 4.1.5), else relative to the parent, which tells only the
    // size of a reparented client.
    void configured(xcb_window_t window, const QRect& area, bool synthetic);
    // Given to another parent: its decorations are not known any more.
    void reparented(xcb_window_t window, bool toRoot);
    // The decorations may have changed (given to another parent).
    void decorationsChanged(xcb_window_t window);
    // Unmapped: it may come back anywhere. A minimized client stays in its frame, so its
    // decorations stay known; a withdrawn one is given back to the root, which says so.
    void unmapped(xcb_window_t window);
    void mapped(xcb_window_t window);
    // Whether the client was seen unmapped and not mapped since (a window manager minimizes by
    // unmapping, or keeps the client mapped inside its hidden frame).
    bool isUnmapped(xcb_window_t window) const;
    // Destroyed, or no longer listed: forgets everything of the window.
    void gone(xcb_window_t window);
    // Forgets the windows that are not in `listed` (the window manager's whole client list).
    void keepOnly(const QSet<xcb_window_t>& listed);

    bool knows(xcb_window_t window) const { return m_windows.contains(window); }

private:
    struct Record {
        std::optional<QMargins> extents;
        QMargins shadow;
        std::optional<SizeHints> sizeHints;
        unsigned held = 0;
        std::optional<bool> reparented;
        std::optional<QPoint> frameOrigin;  // of the last request
        std::optional<QSize> clientSize;    // asked with it or before it while it stood
        std::optional<QSize> size;          // the client's, as far as known
        bool standing = false;
        bool watched = false;
        bool unmapped = false;
    };
    // Whether `area` is where the last request put the client; with `rootSpace` false only the
    // size can tell.
    static bool placedAsAsked(const Record& record, const QRect& area, bool rootSpace);

    QHash<xcb_window_t, Record> m_windows;
};

}  // namespace tessora::x11
