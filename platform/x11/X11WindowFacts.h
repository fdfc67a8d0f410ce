#pragma once

#include "platform/x11/X11PropertyReader.h"
#include "platform/x11/X11SizeHints.h"

#include <xcb/xcb.h>
#include <QMargins>
#include <QRect>
#include <QString>
#include <optional>
#include <vector>

namespace tessora::x11 {

class X11Connection;

// What the backend reads about one client window. Each fact is absent when it could not be
// read (missing, malformed, or the window is gone).
struct WindowFacts {
    xcb_window_t window = XCB_WINDOW_NONE;
    bool exists = false;  // the window answered at least one request
    std::optional<WindowClass> windowClass;
    std::optional<QString> gtkApplicationId;
    std::optional<qint64> pid;
    std::optional<std::vector<uint32_t>> types;
    std::optional<std::vector<uint32_t>> states;
    std::optional<uint32_t> desktop;
    bool transient = false;
    bool iconic = false;
    bool viewable = false;
    std::optional<QRect> clientRect;  // root coordinates, border excluded
    std::optional<QRect> frameRect;   // root coordinates, widened by _NET_FRAME_EXTENTS
    // The invisible margin a client-side decorated window draws around itself for its shadow
    // (_GTK_FRAME_EXTENTS), inside the client; none for other windows.
    QMargins shadow;
    std::optional<SizeHints> sizeHints;  // WM_NORMAL_HINTS, of the client (shadow included)
    bool reparented = false;             // its parent is not the root (a window manager's frame)

    // What the user sees of the window: the window manager's frame less the client's shadow.
    std::optional<QRect> visibleRect() const {
        return frameRect ? std::optional(frameRect->marginsRemoved(shadow)) : std::nullopt;
    }
};

// Which facts to read; fewer facts, fewer requests.
enum WindowFact : unsigned {
    kIdentity = 1u << 0,   // WM_CLASS, _GTK_APPLICATION_ID, _NET_WM_PID
    kKind = 1u << 1,       // _NET_WM_WINDOW_TYPE, WM_TRANSIENT_FOR
    kState = 1u << 2,      // _NET_WM_STATE, WM_STATE
    kPlacement = 1u << 3,  // _NET_WM_DESKTOP, map state
    kGeometry = 1u << 4,   // client geometry, frame extents and shadow
};

// Reads the facts of all windows with one round trip: every request is sent before the first
// reply is read.
std::vector<WindowFacts> readWindowFacts(const X11Connection& connection,
                                         const std::vector<xcb_window_t>& windows, unsigned what);

// The shadow margins of a client of `clientSize` from its _GTK_FRAME_EXTENTS (left, right, top,
// bottom), as far as they can be believed: none unless there are four values, each no more than
// a decoration could be (values with the top bit set are negative numbers written as
// cardinals), that leave something of the window to see; values beyond any real shadow are
// held to its largest width.
QMargins plausibleShadow(const std::optional<std::vector<uint32_t>>& extents,
                         const QSize& clientSize);

// The pid from _NET_WM_PID when it is plausible (1 .. the kernel's largest pid).
std::optional<qint64> plausiblePid(std::optional<uint32_t> value);

}  // namespace tessora::x11
