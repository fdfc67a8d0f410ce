#include "platform/x11/X11WindowFacts.h"

#include "platform/x11/X11Connection.h"

#include <xcb/xcb_icccm.h>
#include <algorithm>
#include <cstdlib>
#include <memory>

namespace tessora::x11 {

namespace {

// PID_MAX_LIMIT of 64-bit Linux.
constexpr qint64 kLargestPid = 4 * 1024 * 1024;
// Frame extents beyond this are not decorations.
constexpr uint32_t kLargestExtent = 4096;
// GTK's shadows are some tens of pixels wide; a margin is never held to be wider than this.
constexpr int kWidestShadow = 256;

template <typename Reply>
using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

// Reads a reply, dropping the error that comes instead when the window is gone.
template <typename Reply, typename Cookie>
Owned<Reply> replyOf(Reply* (*read)(xcb_connection_t*, Cookie, xcb_generic_error_t**),
                     const X11Connection& connection, Cookie cookie) {
    xcb_generic_error_t* error = nullptr;
    Reply* reply = connection.reply(read, cookie, &error);
    std::free(error);
    return Owned<Reply>(reply, &std::free);
}

struct PendingFacts {
    PendingProperty windowClass, gtkApplicationId, pid, types, transient, states, wmState, desktop,
        extents, shadow, sizeHints;
    xcb_get_window_attributes_cookie_t attributes{};
    xcb_get_geometry_cookie_t geometry{};
    xcb_translate_coordinates_cookie_t origin{};
};

}  // namespace

std::optional<qint64> plausiblePid(std::optional<uint32_t> value) {
    if (!value || *value == 0 || *value > kLargestPid) {
        return std::nullopt;
    }
    return static_cast<qint64>(*value);
}

QMargins plausibleShadow(const std::optional<std::vector<uint32_t>>& extents,
                         const QSize& clientSize) {
    if (!extents || extents->size() != 4 ||
        std::any_of(extents->begin(), extents->end(),
                    [](uint32_t value) { return value > kLargestExtent; })) {
        return {};
    }
    auto side = [&](std::size_t i) {
        return std::min(static_cast<int>((*extents)[i]), kWidestShadow);
    };
    const QMargins shadow(side(0), side(2), side(1), side(3));
    if (shadow.left() + shadow.right() >= clientSize.width() ||
        shadow.top() + shadow.bottom() >= clientSize.height()) {
        return {};
    }
    return shadow;
}

std::vector<WindowFacts> readWindowFacts(const X11Connection& connection,
                                         const std::vector<xcb_window_t>& windows, unsigned what) {
    xcb_connection_t* c = connection.get();
    const Atoms& atoms = connection.atoms();
    const PropertyReader reader(connection);

    std::vector<PendingFacts> pending(windows.size());
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const xcb_window_t w = windows[i];
        PendingFacts& p = pending[i];
        if (what & kIdentity) {
            p.windowClass = reader.requestText(w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
            p.gtkApplicationId =
                reader.requestText(w, atoms._GTK_APPLICATION_ID, atoms.UTF8_STRING);
            p.pid = reader.requestCardinals(w, atoms._NET_WM_PID, XCB_ATOM_CARDINAL, 1);
        }
        if (what & kKind) {
            p.types = reader.requestCardinals(w, atoms._NET_WM_WINDOW_TYPE, XCB_ATOM_ATOM, 64);
            p.transient = reader.requestCardinals(w, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 1);
        }
        if (what & kState) {
            p.states = reader.requestCardinals(w, atoms._NET_WM_STATE, XCB_ATOM_ATOM, 64);
            p.wmState = reader.requestCardinals(w, atoms.WM_STATE, atoms.WM_STATE, 2);
        }
        if (what & kPlacement) {
            p.desktop = reader.requestCardinals(w, atoms._NET_WM_DESKTOP, XCB_ATOM_CARDINAL, 1);
        }
        // The attributes double as the existence check, so they are always asked.
        p.attributes = xcb_get_window_attributes(c, w);
        connection.expectReply(p.attributes.sequence);
        if (what & kGeometry) {
            p.geometry = xcb_get_geometry(c, w);
            p.origin = xcb_translate_coordinates(c, w, connection.root(), 0, 0);
            p.extents = reader.requestCardinals(w, atoms._NET_FRAME_EXTENTS, XCB_ATOM_CARDINAL, 4);
            p.shadow = reader.requestCardinals(w, atoms._GTK_FRAME_EXTENTS, XCB_ATOM_CARDINAL, 4);
            p.sizeHints =
                reader.requestCardinals(w, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 18);
        }
    }

    std::vector<WindowFacts> facts(windows.size());
    for (std::size_t i = 0; i < windows.size(); ++i) {
        PendingFacts& p = pending[i];
        WindowFacts& f = facts[i];
        f.window = windows[i];
        if (what & kIdentity) {
            if (const std::optional<QByteArray> bytes = reader.bytes(p.windowClass)) {
                f.windowClass = parseWindowClass(*bytes);
            }
            if (const std::optional<QByteArray> bytes = reader.bytes(p.gtkApplicationId)) {
                f.gtkApplicationId = decodeUtf8(*bytes);
            }
            f.pid = plausiblePid(reader.cardinal(p.pid));
        }
        if (what & kKind) {
            f.types = reader.cardinals(p.types);
            f.transient = reader.cardinal(p.transient).value_or(XCB_WINDOW_NONE) != XCB_WINDOW_NONE;
        }
        if (what & kState) {
            f.states = reader.cardinals(p.states);
            f.iconic = reader.cardinal(p.wmState) == uint32_t{XCB_ICCCM_WM_STATE_ICONIC};
        }
        if (what & kPlacement) {
            f.desktop = reader.cardinal(p.desktop);
        }
        if (auto attributes = replyOf(&xcb_get_window_attributes_reply, connection, p.attributes)) {
            f.exists = true;
            f.viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        }
        if (what & kGeometry) {
            auto geometry = replyOf(&xcb_get_geometry_reply, connection, p.geometry);
            auto origin = replyOf(&xcb_translate_coordinates_reply, connection, p.origin);
            const std::optional<std::vector<uint32_t>> extents = reader.cardinals(p.extents);
            const std::optional<std::vector<uint32_t>> shadow = reader.cardinals(p.shadow);
            if (const std::optional<std::vector<uint32_t>> hints = reader.cardinals(p.sizeHints)) {
                f.sizeHints = parseSizeHints(*hints);
            }
            if (geometry && origin) {
                f.clientRect =
                    QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
                // Relative to the parent, the border outside: a parent at the root's corner
                // passes for the root, where both ways of reckoning agree anyway.
                f.reparented = geometry->x + geometry->border_width != origin->dst_x ||
                               geometry->y + geometry->border_width != origin->dst_y;
                QRect frame = *f.clientRect;
                if (extents && extents->size() == 4) {
                    const uint32_t left = (*extents)[0], right = (*extents)[1], top = (*extents)[2],
                                   bottom = (*extents)[3];
                    if (left <= kLargestExtent && right <= kLargestExtent &&
                        top <= kLargestExtent && bottom <= kLargestExtent) {
                        frame.adjust(-static_cast<int>(left), -static_cast<int>(top),
                                     static_cast<int>(right), static_cast<int>(bottom));
                    }
                }
                f.frameRect = frame;
                f.shadow = plausibleShadow(shadow, f.clientRect->size());
            }
        }
    }
    return facts;
}

}  // namespace tessora::x11
