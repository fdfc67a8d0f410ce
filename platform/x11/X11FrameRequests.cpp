#include "platform/x11/X11FrameRequests.h"

namespace tessora::x11 {

bool FrameRequests::repeats(xcb_window_t window, const FrameRequest& request) const {
    const auto it = m_windows.constFind(window);
    if (it == m_windows.constEnd() || !it->standing || it->frameOrigin != request.frameOrigin) {
        return false;
    }
    return !request.clientSize || it->clientSize == request.clientSize;
}

bool FrameRequests::sent(xcb_window_t window, const FrameRequest& request) {
    Record& record = m_windows[window];
    // A move keeps the size asked before only while that request stood: a size the window
    // manager or the user changed since is not the one asked any more.
    if (request.clientSize || !record.standing) {
        record.clientSize = request.clientSize;
    }
    if (request.clientSize) {
        record.size = request.clientSize;
    }
    record.frameOrigin = request.frameOrigin;
    record.standing = true;
    return !std::exchange(record.watched, true);
}

void FrameRequests::read(xcb_window_t window, const QRect& client, const QRect& frame,
                         bool reparented, const QMargins& shadow) {
    Record& record = m_windows[window];
    record.shadow = shadow;
    record.extents = QMargins(client.x() - frame.x(), client.y() - frame.y(),
                              frame.x() + frame.width() - client.x() - client.width(),
                              frame.y() + frame.height() - client.y() - client.height());
    record.reparented = reparented;
    record.size = client.size();
    record.standing = record.frameOrigin && placedAsAsked(record, client, true);
}

std::optional<QMargins> FrameRequests::extents(xcb_window_t window) const {
    const auto it = m_windows.constFind(window);
    return it != m_windows.constEnd() ? it->extents : std::nullopt;
}

std::optional<QMargins> FrameRequests::shadow(xcb_window_t window) const {
    const auto it = m_windows.constFind(window);
    return it != m_windows.constEnd() && it->extents ? std::optional(it->shadow) : std::nullopt;
}

void FrameRequests::sizeHintsRead(xcb_window_t window, const std::optional<SizeHints>& hints) {
    m_windows[window].sizeHints = hints;
}

std::optional<SizeHints> FrameRequests::sizeHints(xcb_window_t window) const {
    const auto it = m_windows.constFind(window);
    return it != m_windows.constEnd() ? it->sizeHints : std::nullopt;
}

void FrameRequests::statesRead(xcb_window_t window, unsigned held) {
    m_windows[window].held = held;
}

unsigned FrameRequests::takeHeld(xcb_window_t window) {
    const auto it = m_windows.find(window);
    if (it == m_windows.end() || it->held == 0) {
        return 0;
    }
    // Out of those states the window goes back to where it was before them: wherever the last
    // request put it, it is not there any more.
    it->standing = false;
    return std::exchange(it->held, 0u);
}

std::optional<QSize> FrameRequests::size(xcb_window_t window) const {
    const auto it = m_windows.constFind(window);
    return it != m_windows.constEnd() ? it->size : std::nullopt;
}

void FrameRequests::configured(xcb_window_t window, const QRect& area, bool synthetic) {
    const auto it = m_windows.find(window);
    if (it == m_windows.end()) {
        return;
    }
    // Both kinds of event tell the client's size.
    if (it->size && area.size() != *it->size) {
        it->size.reset();
    }
    if (!it->standing) {
        return;
    }
    // A real event of a client whose parent is unknown is taken as in root coordinates: at
    // worst the request lapses for nothing.
    const bool rootSpace = synthetic || it->reparented != std::optional(true);
    if (!placedAsAsked(*it, area, rootSpace)) {
        it->standing = false;
    }
}

bool FrameRequests::placedAsAsked(const Record& record, const QRect& area, bool rootSpace) {
    if (record.clientSize && area.size() != *record.clientSize) {
        return false;
    }
    if (!rootSpace) {
        return true;
    }
    // North-west gravity: the client lies inside the frame by the left and top extents.
    return record.extents && record.frameOrigin &&
           area.topLeft() ==
               *record.frameOrigin + QPoint(record.extents->left(), record.extents->top());
}

void FrameRequests::reparented(xcb_window_t window, bool toRoot) {
    decorationsChanged(window);
    if (const auto it = m_windows.find(window); it != m_windows.end()) {
        it->reparented = !toRoot;
    }
}

void FrameRequests::decorationsChanged(xcb_window_t window) {
    if (const auto it = m_windows.find(window); it != m_windows.end()) {
        it->extents.reset();
        it->size.reset();
        it->standing = false;
    }
}

void FrameRequests::unmapped(xcb_window_t window) {
    if (const auto it = m_windows.find(window); it != m_windows.end()) {
        it->standing = false;
        it->unmapped = true;
    }
}

void FrameRequests::mapped(xcb_window_t window) {
    if (const auto it = m_windows.find(window); it != m_windows.end()) {
        it->unmapped = false;
    }
}

bool FrameRequests::isUnmapped(xcb_window_t window) const {
    const auto it = m_windows.constFind(window);
    return it != m_windows.constEnd() && it->unmapped;
}

void FrameRequests::gone(xcb_window_t window) {
    m_windows.remove(window);
}

void FrameRequests::keepOnly(const QSet<xcb_window_t>& listed) {
    m_windows.removeIf([&](const auto& it) { return !listed.contains(it.key()); });
}

}  // namespace tessora::x11
