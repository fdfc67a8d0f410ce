#include "platform/x11/grabber/GrabServer.h"

#include <poll.h>
#include <sys/socket.h>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <vector>

namespace tessora::x11 {

using grabprotocol::Report;
using grabprotocol::Request;

namespace {

constexpr uint16_t kButtonEvents = XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE;
constexpr uint8_t kFirstWheelButton = 4, kLastWheelButton = 7;

bool isWheel(uint8_t button) {
    return button >= kFirstWheelButton && button <= kLastWheelButton;
}

// A round trip: every request before it has been carried out once it returns.
void sync(xcb_connection_t* c) {
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

}  // namespace

GrabServer::GrabServer(xcb_connection_t* connection, xcb_window_t root, int socket)
    : m_connection(connection), m_root(root), m_socket(socket) {}

int GrabServer::run() {
    for (;;) {
        // Events that replies read before them left in xcb's queue first: they no longer wake
        // the socket.
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            handleEvent(*event);
            std::free(event);
        }
        if (xcb_connection_has_error(m_connection)) {
            return 1;
        }
        int timeout = -1;
        if (m_gesture) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(m_gestureEnd - Clock::now());
            if (left.count() <= 0) {
                endGesture();
            } else {
                timeout = static_cast<int>(left.count());
            }
        }
        xcb_flush(m_connection);
        pollfd fds[2] = {{xcb_get_file_descriptor(m_connection), POLLIN, 0}, {m_socket, POLLIN, 0}};
        if (poll(fds, 2, timeout) < 0 && errno != EINTR) {
            return 1;
        }
        if (fds[1].revents == 0) {
            continue;
        }
        for (;;) {
            Request request;
            const ssize_t got = recv(m_socket, &request, sizeof request, MSG_DONTWAIT);
            if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
                break;
            }
            if (got <= 0) {
                return 0;  // the program has gone; the server ends our grabs with us
            }
            if (got == sizeof request) {
                handleRequest(request);
            }
        }
    }
}

void GrabServer::handleRequest(const Request& request) {
    switch (request.kind) {
        case Request::GrabScroll:
            grab(request);
            break;
        case Request::ReleaseScroll:
            if (m_rule && m_rule->serial == request.serial) {
                release();
            }
            break;
        default:
            break;
    }
}

void GrabServer::grab(const Request& request) {
    release();  // one grab at a time
    Request rule = request;
    if (rule.variantCount > grabprotocol::kMaxVariants) {
        rule.variantCount = grabprotocol::kMaxVariants;
    }
    std::vector<xcb_void_cookie_t> cookies;
    for (uint8_t button = kFirstWheelButton; button <= kLastWheelButton; ++button) {
        for (uint32_t i = 0; i < rule.variantCount; ++i) {
            cookies.push_back(xcb_grab_button_checked(
                m_connection, 0, m_root, kButtonEvents, XCB_GRAB_MODE_SYNC, XCB_GRAB_MODE_ASYNC,
                XCB_WINDOW_NONE, XCB_CURSOR_NONE, button, rule.modifiers[i]));
        }
    }
    bool all = true;
    for (const xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(m_connection, cookie)) {
            all = false;
            std::free(error);
        }
    }
    Report answer;
    answer.serial = rule.serial;
    if (all && !xcb_connection_has_error(m_connection)) {
        m_rule = rule;
        answer.kind = Report::Grabbed;
    } else {
        // The combinations another client holds are not ours: ungrabbing them all leaves that
        // client's. The round trip lets the program hear of the failure only once it holds.
        ungrabButtons(rule);
        sync(m_connection);
        answer.kind = Report::Refused;
    }
    report(answer);
}

void GrabServer::release() {
    if (!m_rule) {
        return;
    }
    endGesture();
    ungrabButtons(*m_rule);
    m_rule.reset();
    xcb_flush(m_connection);
}

void GrabServer::ungrabButtons(const Request& rule) {
    for (uint8_t button = kFirstWheelButton; button <= kLastWheelButton; ++button) {
        for (uint32_t i = 0; i < rule.variantCount; ++i) {
            xcb_ungrab_button(m_connection, button, m_root, rule.modifiers[i]);
        }
    }
}

void GrabServer::handleEvent(const xcb_generic_event_t& event) {
    const uint8_t type = event.response_type & 0x7f;
    if (type != XCB_BUTTON_PRESS && type != XCB_BUTTON_RELEASE) {
        return;  // errors (of ungrabs that found nothing) included
    }
    // Presses and releases share their layout.
    const auto& button = reinterpret_cast<const xcb_button_press_event_t&>(event);
    const bool press = type == XCB_BUTTON_PRESS;
    if (m_gesture) {
        // The gesture's grab froze the pointer on this event.
        if (!isWheel(button.detail)) {
            // Another button: the gesture is over, and the event goes where it would have gone
            // (the replay ends the grab).
            m_gesture = false;
            allow(XCB_ALLOW_REPLAY_POINTER, button.time);
            return;
        }
        if (press) {
            take(button);
            m_gestureEnd = Clock::now() + std::chrono::milliseconds(m_rule->gestureMs);
        }
        allow(XCB_ALLOW_SYNC_POINTER, XCB_CURRENT_TIME);
        return;
    }
    if (!press) {
        return;  // the other half of a press taken without a gesture; nothing is frozen
    }
    // A press of the passive grab: the pointer stays frozen until it is answered, which every
    // path below does.
    if (!m_rule || !isWheel(button.detail) || !inside(button.root_x, button.root_y)) {
        allow(XCB_ALLOW_REPLAY_POINTER, button.time);
        return;
    }
    take(button);
    if (m_rule->gestureMs > 0 && startGesture(button.time)) {
        allow(XCB_ALLOW_SYNC_POINTER, XCB_CURRENT_TIME);
    } else {
        allow(XCB_ALLOW_ASYNC_POINTER, button.time);
    }
}

bool GrabServer::startGesture(xcb_timestamp_t time) {
    // Taken over from the passive grab, stamped with its press. The pointer stays frozen until
    // the next answer, after which every button event comes here and freezes it again.
    std::unique_ptr<xcb_grab_pointer_reply_t, decltype(&std::free)> reply(
        xcb_grab_pointer_reply(
            m_connection,
            xcb_grab_pointer(m_connection, 0, m_root, kButtonEvents, XCB_GRAB_MODE_SYNC,
                             XCB_GRAB_MODE_ASYNC, XCB_WINDOW_NONE, XCB_CURSOR_NONE, time),
            nullptr),
        &std::free);
    if (!reply || reply->status != XCB_GRAB_STATUS_SUCCESS) {
        return false;
    }
    m_gesture = true;
    m_gestureEnd = Clock::now() + std::chrono::milliseconds(m_rule->gestureMs);
    return true;
}

void GrabServer::endGesture() {
    if (!m_gesture) {
        return;
    }
    m_gesture = false;
    xcb_ungrab_pointer(m_connection, XCB_CURRENT_TIME);
    xcb_flush(m_connection);
}

void GrabServer::take(const xcb_button_press_event_t& press) {
    Report taken;
    taken.kind = Report::Scroll;
    taken.serial = m_rule->serial;
    taken.button = press.detail;
    taken.state = press.state;
    taken.rootX = press.root_x;
    taken.rootY = press.root_y;
    taken.time = press.time;
    report(taken);
}

void GrabServer::allow(uint8_t mode, xcb_timestamp_t time) {
    xcb_allow_events(m_connection, mode, time);
    xcb_flush(m_connection);
}

bool GrabServer::inside(int x, int y) const {
    return x >= m_rule->x && x < m_rule->x + m_rule->width && y >= m_rule->y &&
           y < m_rule->y + m_rule->height;
}

void GrabServer::report(const Report& message) {
    // Never waits: a program that does not read (stopped) loses the notches beyond what the
    // socket holds, and the desktop goes on.
    send(m_socket, &message, sizeof message, MSG_DONTWAIT | MSG_NOSIGNAL);
}

}  // namespace tessora::x11
