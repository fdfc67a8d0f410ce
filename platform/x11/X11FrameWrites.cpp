// Moving and resizing other clients' windows: requests to the window manager that are sent only
// when they differ from the last one asked, with the decorations known from earlier reads, and
// the events that tell when the window is no longer where it was asked to be.
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11WindowFacts.h"
#include "platform/x11/X11WindowSystem.h"

#include <algorithm>

namespace tessora {

using namespace x11;

namespace {

// _NET_MOVERESIZE_WINDOW: gravity in bits 0-7, which values are given in bits 8-11, the
// source in bits 12-13 (2: a pager or similar tool acting for the user).
constexpr uint32_t kNorthWestGravity = 1;
constexpr uint32_t kMoveX = 1u << 8, kMoveY = 1u << 9, kResizeWidth = 1u << 10,
                   kResizeHeight = 1u << 11;
constexpr uint32_t kSourcePager = 2;
// _NET_WM_STATE's action that takes states away.
constexpr uint32_t kStateRemove = 0;

// What tells that a window written to is no longer where it was asked to be. Not its property
// changes: applications change titles and user times all the time, and each would wake us.
// Decorations that change without a ConfigureNotify are learnt from the next read, which the
// write's read-back makes.
constexpr uint32_t kWatchedEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY;

bool isWindowId(WindowId window) {
    return window != 0 && window <= 0xFFFFFFFFu;
}

}  // namespace

void X11WindowSystem::setFrame(WindowId window, const WindowRect& target) {
    if (!isWindowId(window)) {
        return;
    }
    const auto w = static_cast<xcb_window_t>(window);
    const std::optional<Decorations> known = decorations(w);
    if (!known) {
        return;  // gone
    }
    // The window manager places its frame's top-left corner at the origin with north-west
    // gravity but sizes the client, so the decorations come off the size. A client's own
    // shadow lies outside what is placed: the frame starts that much further out, and the
    // client is that much larger. Decorations and shadows are X pixels.
    const QMargins& extents = known->extents;
    const QMargins& shadow = known->shadow;
    QSize clientSize(m_points.toPixels(target.width) - extents.left() - extents.right() +
                         shadow.left() + shadow.right(),
                     m_points.toPixels(target.height) - extents.top() - extents.bottom() +
                         shadow.top() + shadow.bottom());
    if (const std::optional<SizeHints> hints = m_frameRequests.sizeHints(w)) {
        clientSize = fitToSizeHints(clientSize, *hints);
    }
    requestFrame(
        w, {fromWindowSpace(target.x, target.y) - QPoint(shadow.left(), shadow.top()), clientSize});
}

Size X11WindowSystem::attainableSize(WindowId window, const Size& wanted) const {
    if (!isWindowId(window)) {
        return wanted;
    }
    // As setFrame sizes the client, from what the last reads learnt: the decorations around the
    // client (less its own shadow) and the sizes it accepts.
    const auto w = static_cast<xcb_window_t>(window);
    const std::optional<SizeHints> hints = m_frameRequests.sizeHints(w);
    const std::optional<QMargins> extents = m_frameRequests.extents(w);
    if (!hints || !extents) {
        return wanted;
    }
    const QMargins shadow = m_frameRequests.shadow(w).value_or(QMargins());
    const QSize decorations(extents->left() + extents->right() - shadow.left() - shadow.right(),
                            extents->top() + extents->bottom() - shadow.top() - shadow.bottom());
    const QSize client = fitToSizeHints(
        QSize(m_points.toPixels(wanted.width), m_points.toPixels(wanted.height)) - decorations,
        *hints);
    const QSize frame = client + decorations;
    return {frame.width() / m_points.ratio(), frame.height() / m_points.ratio()};
}

Margins X11WindowSystem::invisibleMargins(WindowId window) const {
    if (!isWindowId(window)) {
        return {};
    }
    const QMargins shadow =
        m_frameRequests.shadow(static_cast<xcb_window_t>(window)).value_or(QMargins());
    const double ratio = m_points.ratio();
    return {shadow.left() / ratio, shadow.top() / ratio, shadow.right() / ratio,
            shadow.bottom() / ratio};
}

void X11WindowSystem::setPosition(WindowId window, double x, double y) {
    if (!isWindowId(window)) {
        return;
    }
    // The move carries the size the client has (see FrameRequest), known from the last read
    // or request unless an event has shown it otherwise since; a client's shadow lies outside
    // what is placed.
    const auto w = static_cast<xcb_window_t>(window);
    if (!m_frameRequests.size(w)) {
        facts(window, kGeometry | kState);  // one read learns the size and the decorations
    }
    const std::optional<QSize> size = m_frameRequests.size(w);
    const std::optional<Decorations> known = size ? decorations(w) : std::nullopt;
    if (!known || !size) {
        return;  // gone
    }
    requestFrame(
        w, {fromWindowSpace(x, y) - QPoint(known->shadow.left(), known->shadow.top()), *size});
}

std::optional<X11WindowSystem::Decorations> X11WindowSystem::decorations(xcb_window_t window) {
    std::optional<QMargins> extents = m_frameRequests.extents(window);
    if (!extents) {
        // Not read since its decorations were last known (or ever): one read learns them.
        facts(window, kGeometry | kState);
        extents = m_frameRequests.extents(window);
        if (!extents) {
            return std::nullopt;
        }
    }
    return Decorations{*extents, m_frameRequests.shadow(window).value_or(QMargins())};
}

void X11WindowSystem::releaseHeldStates(xcb_window_t window) {
    // As a user who drags a maximized or full-screen window: it leaves those states first, and
    // the window manager then lets it be moved and sized. Sent before the move, so that the
    // window manager handles them in that order.
    const unsigned held = m_frameRequests.takeHeld(window);
    const Atoms& atoms = m_connection->atoms();
    if (held & FrameRequests::kMaximized) {
        const uint32_t data[5] = {kStateRemove, atoms._NET_WM_STATE_MAXIMIZED_VERT,
                                  atoms._NET_WM_STATE_MAXIMIZED_HORZ, kSourcePager, 0};
        m_connection->sendRootMessage(window, atoms._NET_WM_STATE, data);
    }
    if (held & FrameRequests::kFullScreen) {
        const uint32_t data[5] = {kStateRemove, atoms._NET_WM_STATE_FULLSCREEN, XCB_ATOM_NONE,
                                  kSourcePager, 0};
        m_connection->sendRootMessage(window, atoms._NET_WM_STATE, data);
    }
}

void X11WindowSystem::setMinimized(WindowId window, bool minimized) {
    if (!isWindowId(window)) {
        return;
    }
    const auto w = static_cast<xcb_window_t>(window);
    if (minimized) {
        // ICCCM 4.1.4: the client's request to be iconified, which every window manager takes.
        constexpr uint32_t kIconicState = 3;
        const uint32_t data[5] = {kIconicState, 0, 0, 0, 0};
        m_connection->sendRootMessage(w, m_connection->atoms().WM_CHANGE_STATE, data);
        return;
    }
    if (m_frameRequests.isUnmapped(w)) {
        // An iconic client goes back to normal when it is mapped: the window manager is
        // redirected the request (a MapRequest) and restores the window. An error (it is gone)
        // is only logged.
        xcb_map_window(m_connection->get(), w);
        m_connection->flushLater();
        return;
    }
    // A window manager that keeps a minimized client mapped inside its hidden frame (mutter)
    // hears of no map request: it is asked as a pager asks to show a window, which also gives
    // the window the focus.
    // Unstamped, as asking the server for its time would cost a round trip within an animation
    // frame; a pager's request is honoured without one.
    const uint32_t data[5] = {kSourcePager, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0};
    m_connection->sendRootMessage(w, m_connection->atoms()._NET_ACTIVE_WINDOW, data);
}

void X11WindowSystem::requestFrame(xcb_window_t window, const FrameRequest& request) {
    releaseHeldStates(window);
    if (m_frameRequests.repeats(window, request)) {
        // A ConfigureNotify that already arrived may tell that the window moved since: the
        // events waiting on the socket are looked at first (and handled again, in order, later).
        m_connection->takePending([this](const xcb_generic_event_t& event) {
            handleFrameEvent(event);
            return false;
        });
        if (m_frameRequests.repeats(window, request)) {
            return;
        }
    }
    if (m_frameRequests.sent(window, request)) {
        // Another client's window: errors (it is gone) arrive as events and are only logged.
        xcb_change_window_attributes(m_connection->get(), window, XCB_CW_EVENT_MASK,
                                     &kWatchedEvents);
    }
    uint32_t flags = kMoveX | kMoveY;
    QSize size(1, 1);
    if (request.clientSize) {
        flags |= kResizeWidth | kResizeHeight;
        size = request.clientSize->expandedTo(QSize(1, 1));
    }
    const uint32_t data[5] = {kNorthWestGravity | flags | (kSourcePager << 12),
                              static_cast<uint32_t>(request.frameOrigin.x()),
                              static_cast<uint32_t>(request.frameOrigin.y()),
                              static_cast<uint32_t>(size.width()),
                              static_cast<uint32_t>(size.height())};
    m_connection->sendRootMessage(window, m_connection->atoms()._NET_MOVERESIZE_WINDOW, data);
}

bool X11WindowSystem::handleFrameEvent(const xcb_generic_event_t& event) const {
    switch (event.response_type & 0x7f) {
        case XCB_CONFIGURE_NOTIFY: {
            const auto& notify = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
            if (notify.event != notify.window || !m_frameRequests.knows(notify.window)) {
                return false;
            }
            // The inside area; synthetic events (bit 7) are the window manager's.
            const int border = notify.border_width;
            m_frameRequests.configured(
                notify.window,
                QRect(notify.x + border, notify.y + border, notify.width, notify.height),
                (event.response_type & 0x80) != 0);
            return true;
        }
        case XCB_DESTROY_NOTIFY: {
            const auto& notify = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
            if (notify.event != notify.window || !m_frameRequests.knows(notify.window)) {
                return false;
            }
            m_frameRequests.gone(notify.window);
            return true;
        }
        case XCB_UNMAP_NOTIFY: {
            const auto& notify = reinterpret_cast<const xcb_unmap_notify_event_t&>(event);
            if (notify.event != notify.window || !m_frameRequests.knows(notify.window)) {
                return false;
            }
            m_frameRequests.unmapped(notify.window);
            return true;
        }
        case XCB_MAP_NOTIFY: {
            const auto& notify = reinterpret_cast<const xcb_map_notify_event_t&>(event);
            if (notify.event != notify.window || !m_frameRequests.knows(notify.window)) {
                return false;
            }
            m_frameRequests.mapped(notify.window);
            return true;
        }
        case XCB_REPARENT_NOTIFY: {
            const auto& notify = reinterpret_cast<const xcb_reparent_notify_event_t&>(event);
            if (notify.event != notify.window || !m_frameRequests.knows(notify.window)) {
                return false;
            }
            m_frameRequests.reparented(notify.window, notify.parent == m_connection->root());
            return true;
        }
        default:
            return false;
    }
}

void X11WindowSystem::learnFrames(const std::vector<WindowFacts>& read, unsigned what) const {
    const Atoms& atoms = m_connection->atoms();
    auto holds = [](const WindowFacts& facts, xcb_atom_t state) {
        return facts.states &&
               std::find(facts.states->begin(), facts.states->end(), state) != facts.states->end();
    };
    for (const WindowFacts& facts : read) {
        if (!facts.exists) {
            m_frameRequests.gone(facts.window);
            continue;
        }
        if (facts.clientRect && facts.frameRect) {
            m_frameRequests.read(facts.window, *facts.clientRect, *facts.frameRect,
                                 facts.reparented, facts.shadow);
            m_frameRequests.sizeHintsRead(facts.window, facts.sizeHints);
        }
        if (what & kState) {
            const bool maximized = holds(facts, atoms._NET_WM_STATE_MAXIMIZED_VERT) ||
                                   holds(facts, atoms._NET_WM_STATE_MAXIMIZED_HORZ);
            const bool fullScreen = holds(facts, atoms._NET_WM_STATE_FULLSCREEN);
            m_frameRequests.statesRead(facts.window,
                                       (maximized ? FrameRequests::kMaximized : 0u) |
                                           (fullScreen ? FrameRequests::kFullScreen : 0u));
        }
    }
}

}  // namespace tessora
