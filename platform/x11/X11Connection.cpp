#include "platform/x11/X11Connection.h"

#include "platform/x11/X11Log.h"
#include "platform/x11/X11PropertyReader.h"

#include <poll.h>
#include <xcb/xcbext.h>
#include <QAbstractEventDispatcher>
#include <QSocketNotifier>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace tessora::x11 {

namespace {

// How long the end of the connection waits for the server to carry out what was sent.
constexpr std::chrono::milliseconds kLastAnswerWait{2000};

xcb_timestamp_t eventTime(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7f) {
        case XCB_KEY_PRESS:
        case XCB_KEY_RELEASE:
            return reinterpret_cast<const xcb_key_press_event_t&>(event).time;
        case XCB_BUTTON_PRESS:
        case XCB_BUTTON_RELEASE:
            return reinterpret_cast<const xcb_button_press_event_t&>(event).time;
        case XCB_PROPERTY_NOTIFY:
            return reinterpret_cast<const xcb_property_notify_event_t&>(event).time;
        default:
            return XCB_CURRENT_TIME;
    }
}

}  // namespace

std::unique_ptr<X11Connection> X11Connection::open(const QByteArray& display, QString* reason) {
    const QByteArray name = display.isEmpty() ? qgetenv("DISPLAY") : display;
    if (name.isEmpty()) {
        if (reason) {
            *reason = qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
                          ? QStringLiteral("There is no X11 display (DISPLAY is not set).")
                          : QStringLiteral(
                                "This is a Wayland session without X11: Wayland does not let "
                                "applications move the windows of other applications.");
        }
        return nullptr;
    }
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(name.constData(), &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        if (reason) {
            *reason = QStringLiteral("Cannot connect to the X11 display %1.")
                          .arg(QString::fromLocal8Bit(name));
        }
        return nullptr;
    }
    std::unique_ptr<X11Connection> result(new X11Connection(connection, screenNumber));
    result->m_displayName = name;
    if (!result->m_screen || !result->m_atoms.intern(connection)) {
        if (reason) {
            *reason = QStringLiteral("The X11 display %1 did not answer.")
                          .arg(QString::fromLocal8Bit(name));
        }
        return nullptr;
    }
    return result;
}

X11Connection::X11Connection(xcb_connection_t* connection, int screenNumber)
    : m_connection(connection), m_screenNumber(screenNumber) {
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; it.rem > 0 && i < screenNumber; ++i) {
        xcb_screen_next(&it);
    }
    if (it.rem == 0) {
        return;
    }
    m_screen = it.data;

    m_ownWindow = xcb_generate_id(connection);
    const uint32_t values[] = {1, XCB_EVENT_MASK_PROPERTY_CHANGE};  // override-redirect
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, m_ownWindow, m_screen->root, -1, -1, 1, 1,
                      0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                      XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    const uint32_t rootMask[] = {XCB_EVENT_MASK_PROPERTY_CHANGE};
    xcb_change_window_attributes(connection, m_screen->root, XCB_CW_EVENT_MASK, rootMask);
    xcb_flush(connection);

    m_notifier =
        new QSocketNotifier(xcb_get_file_descriptor(connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11Connection::dispatchPending);
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread())) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &X11Connection::dispatchPending);
    }
}

X11Connection::~X11Connection() {
    delete m_notifier;
    if (m_connection) {
        // Requests still on their way (windows put back on the way out) must be carried out
        // before the connection closes: the server drops what it has not read yet once it sees
        // the connection hang up, and written is not yet read. A round trip tells; bounded, so
        // that a server that does not answer cannot keep the program from ending.
        if (!broken()) {
            const unsigned sequence = xcb_get_input_focus(m_connection).sequence;
            xcb_flush(m_connection);
            const auto deadline = std::chrono::steady_clock::now() + kLastAnswerWait;
            void* reply = nullptr;
            xcb_generic_error_t* error = nullptr;
            while (xcb_poll_for_reply(m_connection, sequence, &reply, &error) == 0) {
                const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now());
                pollfd readable{xcb_get_file_descriptor(m_connection), POLLIN, 0};
                if (left.count() <= 0 || ::poll(&readable, 1, static_cast<int>(left.count())) < 0) {
                    break;
                }
            }
            std::free(reply);
            std::free(error);
        }
        xcb_disconnect(m_connection);
    }
}

std::optional<xcb_window_t> X11Connection::windowManagerCheck() const {
    const PropertyReader reader(*this);
    const std::optional<uint32_t> check = reader.cardinal(
        reader.requestCardinals(root(), m_atoms._NET_SUPPORTING_WM_CHECK, XCB_ATOM_WINDOW, 1));
    if (!check || *check == XCB_WINDOW_NONE) {
        return std::nullopt;
    }
    // A stale value left by a window manager that has gone: the window is gone too, or is some
    // other window that does not point back.
    const std::optional<uint32_t> self = reader.cardinal(
        reader.requestCardinals(*check, m_atoms._NET_SUPPORTING_WM_CHECK, XCB_ATOM_WINDOW, 1));
    if (!self || *self != *check) {
        return std::nullopt;
    }
    return *check;
}

bool X11Connection::supports(xcb_atom_t atom) const {
    const PropertyReader reader(*this);
    const std::optional<std::vector<uint32_t>> supported =
        reader.cardinals(reader.requestCardinals(root(), m_atoms._NET_SUPPORTED, XCB_ATOM_ATOM));
    return supported && std::find(supported->begin(), supported->end(), atom) != supported->end();
}

bool X11Connection::replyArrived(unsigned sequence, void** reply,
                                 xcb_generic_error_t** error) const {
    // Reads what the socket holds, never blocks; on a broken connection it says "arrived"
    // with neither reply nor error.
    return xcb_poll_for_reply(m_connection, sequence, reply, error) != 0;
}

namespace {

// Sequence numbers wrap around: compared as the nearer of the two ways round.
bool later(unsigned a, unsigned b) {
    return static_cast<int>(a - b) > 0;
}

}  // namespace

void X11Connection::expectReply(unsigned sequence) const {
    if (later(sequence, m_lastExpected)) {
        m_lastExpected = sequence;
    }
}

void X11Connection::startsRoundTrip(unsigned sequence) const {
    expectReply(sequence);
    if (later(sequence, m_lastRoundTrip)) {
        ++m_traffic.roundTrips;
        m_lastRoundTrip = m_lastExpected;
    }
}

void X11Connection::flush() {
    xcb_flush(m_connection);
    ++m_traffic.flushes;
}

void X11Connection::flushLater() {
    if (m_flushPosted) {
        return;
    }
    m_flushPosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_flushPosted = false;
            flush();
        },
        Qt::QueuedConnection);
}

Traffic X11Connection::traffic() {
    // A request that asks nothing: its sequence number counts the requests before it.
    const unsigned sequence = xcb_no_operation(m_connection).sequence;
    ++m_trafficProbes;
    Traffic traffic = m_traffic;
    traffic.requests = sequence - m_trafficProbes;
    return traffic;
}

xcb_timestamp_t X11Connection::serverTime() {
    xcb_change_property(m_connection, XCB_PROP_MODE_APPEND, m_ownWindow, m_atoms._TESSORA_TIMESTAMP,
                        XCB_ATOM_CARDINAL, 32, 0, nullptr);
    flush();
    ++m_traffic.roundTrips;
    // The PropertyNotify comes before any later reply; other events read meanwhile are handled
    // in order. A handler may read the queue itself (a keyboard hold's release takes pending
    // keys and sets the rest aside): the answer is looked for there too, or the wait would never
    // end. Ends when the connection breaks.
    const auto isAnswer = [this](const xcb_generic_event_t& event) {
        return (event.response_type & 0x7f) == XCB_PROPERTY_NOTIFY &&
               reinterpret_cast<const xcb_property_notify_event_t&>(event).window == m_ownWindow &&
               reinterpret_cast<const xcb_property_notify_event_t&>(event).atom ==
                   m_atoms._TESSORA_TIMESTAMP;
    };
    const auto answered = [&](const xcb_generic_event_t& event) {
        m_lastTime = reinterpret_cast<const xcb_property_notify_event_t&>(event).time;
        return m_lastTime;
    };
    while (xcb_generic_event_t* event = xcb_wait_for_event(m_connection)) {
        if (isAnswer(*event)) {
            const xcb_timestamp_t time = answered(*event);
            std::free(event);
            return time;
        }
        handle(event);
        const auto setAside = std::find_if(m_deferred.begin(), m_deferred.end(),
                                           [&](const auto& e) { return isAnswer(*e); });
        if (setAside != m_deferred.end()) {
            const xcb_timestamp_t time = answered(**setAside);
            m_deferred.erase(setAside);
            return time;
        }
    }
    return m_lastTime;
}

void X11Connection::sendRootMessage(xcb_window_t window, xcb_atom_t type,
                                    const uint32_t (&data)[5]) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::copy(std::begin(data), std::end(data), message.data.data32);
    xcb_send_event(m_connection, 0, root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    flushLater();
}

void X11Connection::dispatchPending() {
    while (!m_deferred.empty()) {
        xcb_generic_event_t* event = m_deferred.front().release();
        m_deferred.pop_front();
        handle(event);
    }
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        handle(event);
    }
    if (broken() && m_notifier && m_notifier->isEnabled()) {
        qCWarning(lcX11) << "the connection to the X server broke";
        m_notifier->setEnabled(false);
    }
}

void X11Connection::takePending(const std::function<bool(const xcb_generic_event_t&)>& take) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
        if (event->response_type == 0 || !take(*event)) {
            m_deferred.push_back(std::move(owned));
        }
    }
}

void X11Connection::handle(xcb_generic_event_t* event) {
    std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
    if (event->response_type == 0) {
        const auto* error = reinterpret_cast<const xcb_generic_error_t*>(event);
        qCDebug(lcX11) << "X error" << error->error_code << "of request" << error->major_code
                       << "minor" << error->minor_code << "resource" << error->resource_id;
        return;
    }
    if (const xcb_timestamp_t time = eventTime(*event); time != XCB_CURRENT_TIME) {
        m_lastTime = time;
    }
    if (onEvent) {
        onEvent(*event);
    }
}

}  // namespace tessora::x11
