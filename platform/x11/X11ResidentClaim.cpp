#include "platform/x11/X11ResidentClaim.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Log.h"

#include <cstdlib>
#include <optional>

namespace tessora::x11 {

namespace {

// A later start that finds the owner gone before its message arrived looks again; a bound, so
// that owners appearing and vanishing cannot keep it looping.
constexpr int kClaimAttempts = 3;

const QString kNoAnswer = QStringLiteral("the X11 display did not answer");

}  // namespace

X11ResidentClaim::X11ResidentClaim(const QByteArray& display, QObject* parent)
    : QObject(parent), m_connection(X11Connection::open(display, &m_error)) {
    if (!m_connection) {
        return;
    }
    xcb_connection_t* c = m_connection->get();
    // This connection hears only later starts and the loss of the selection, not the root
    // window's property changes that a connection listens to from the start.
    const uint32_t noEvents[] = {XCB_EVENT_MASK_NO_EVENT};
    xcb_change_window_attributes(c, m_connection->root(), XCB_CW_EVENT_MASK, noEvents);
    const QByteArray name =
        "_TESSORA_RESIDENT_S" + QByteArray::number(m_connection->screenNumber());
    m_selection = internAtom(c, name.constData());
    m_connection->onEvent = [this](const xcb_generic_event_t& event) { handle(event); };
}

X11ResidentClaim::~X11ResidentClaim() = default;

X11ResidentClaim::Outcome X11ResidentClaim::claim() {
    if (!m_connection) {
        return Outcome::Failed;  // `m_error` says why
    }
    if (m_selection == XCB_ATOM_NONE) {
        m_error = kNoAnswer;
        return Outcome::Failed;
    }
    for (int attempt = 0; attempt < kClaimAttempts; ++attempt) {
        const xcb_timestamp_t time = m_connection->serverTime();
        const std::optional<xcb_window_t> owner = takeUnlessOwned(time);
        if (!owner) {
            break;
        }
        if (*owner == m_connection->ownWindow()) {
            announce(time);
            return Outcome::Resident;
        }
        if (askToShowLauncher(*owner)) {
            return Outcome::Forwarded;
        }
    }
    m_error = kNoAnswer;
    return Outcome::Failed;
}

std::optional<xcb_window_t> X11ResidentClaim::takeUnlessOwned(xcb_timestamp_t time) {
    xcb_connection_t* c = m_connection->get();
    const auto ownerNow = [&]() -> std::optional<xcb_window_t> {
        xcb_get_selection_owner_reply_t* reply =
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, m_selection), nullptr);
        std::optional<xcb_window_t> owner;
        if (reply) {
            owner = reply->owner;
        }
        std::free(reply);
        return owner;
    };
    // Looked at and taken while the server serves no one else, so that two starts at the same
    // moment cannot both find it free (the later owner would silently take it from the first).
    xcb_grab_server(c);
    const std::optional<xcb_window_t> found = ownerNow();
    if (found == XCB_WINDOW_NONE) {
        xcb_set_selection_owner(c, m_connection->ownWindow(), m_selection, time);
    }
    xcb_ungrab_server(c);
    xcb_flush(c);
    if (found != XCB_WINDOW_NONE) {
        return found;  // another resident's window, or none when the server did not answer
    }
    return ownerNow();  // ours, unless the server refused the time
}

bool X11ResidentClaim::askToShowLauncher(xcb_window_t owner) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = owner;
    message.type = m_connection->atoms()._TESSORA_SHOW_LAUNCHER;
    xcb_connection_t* c = m_connection->get();
    // Without an event mask the message goes to the client that made the window. Checked: an
    // owner that has just ended leaves no window to send it to.
    xcb_generic_error_t* error = xcb_request_check(
        c, xcb_send_event_checked(c, 0, owner, XCB_EVENT_MASK_NO_EVENT,
                                  reinterpret_cast<const char*>(&message)));
    const bool sent = error == nullptr;
    std::free(error);
    return sent;
}

void X11ResidentClaim::announce(xcb_timestamp_t time) {
    // ICCCM's MANAGER message, which a new owner of a manager selection sends to the root.
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = m_connection->root();
    message.type = m_connection->atoms().MANAGER;
    message.data.data32[0] = time;
    message.data.data32[1] = m_selection;
    message.data.data32[2] = m_connection->ownWindow();
    xcb_send_event(m_connection->get(), 0, m_connection->root(),
                   XCB_EVENT_MASK_STRUCTURE_NOTIFY, reinterpret_cast<const char*>(&message));
    m_connection->flush();
}

void X11ResidentClaim::handle(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7f) {
        case XCB_CLIENT_MESSAGE: {
            const auto& message = reinterpret_cast<const xcb_client_message_event_t&>(event);
            if (message.window == m_connection->ownWindow() &&
                message.type == m_connection->atoms()._TESSORA_SHOW_LAUNCHER && m_showLauncher) {
                m_showLauncher();
            }
            break;
        }
        case XCB_SELECTION_CLEAR:
            if (reinterpret_cast<const xcb_selection_clear_event_t&>(event).selection ==
                m_selection) {
                qCWarning(lcX11) << "Another program took the resident selection of this "
                                    "display; later starts will go to it";
            }
            break;
        default:
            break;
    }
}

}  // namespace tessora::x11
