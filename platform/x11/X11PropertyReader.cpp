#include "platform/x11/X11PropertyReader.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Log.h"

#include <QStringDecoder>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace tessora::x11 {

PropertyReader::PropertyReader(const X11Connection& connection)
    : m_connection(connection.get()), m_counting(&connection) {}

PropertyReader::Reply PropertyReader::checkedReply(const PendingProperty& pending,
                                                   bool whole) const {
    if (!pending.sent) {
        return {};
    }
    xcb_generic_error_t* error = nullptr;
    Reply reply(m_counting ? m_counting->reply(&xcb_get_property_reply, pending.cookie, &error)
                           : xcb_get_property_reply(m_connection, pending.cookie, &error));
    if (error) {
        // BadWindow: the window went away between listing it and reading it.
        std::free(error);
        return {};
    }
    if (!reply || reply->type == XCB_ATOM_NONE) {
        return {};
    }
    const bool typeMatches = reply->type == pending.type || (pending.alternative != XCB_ATOM_NONE &&
                                                             reply->type == pending.alternative);
    if (!typeMatches || reply->format != pending.format) {
        qCDebug(lcX11) << "property of unexpected type" << reply->type << "format" << reply->format;
        return {};
    }
    if (whole && reply->bytes_after != 0) {
        qCDebug(lcX11) << "property longer than its limit:" << reply->bytes_after
                       << "bytes left unread";
        return {};
    }
    return reply;
}

PendingProperty PropertyReader::requestCardinals(xcb_window_t window, xcb_atom_t property,
                                                 xcb_atom_t type, uint32_t maxItems) const {
    PendingProperty pending;
    pending.type = type;
    pending.format = 32;
    pending.cookie = xcb_get_property(m_connection, 0, window, property, XCB_ATOM_ANY, 0, maxItems);
    pending.sent = true;
    if (m_counting) {
        m_counting->expectReply(pending.cookie.sequence);
    }
    return pending;
}

PendingProperty PropertyReader::requestText(xcb_window_t window, xcb_atom_t property,
                                            xcb_atom_t type, xcb_atom_t alternative,
                                            uint32_t maxBytes) const {
    PendingProperty pending;
    pending.type = type;
    pending.alternative = alternative;
    pending.format = 8;
    // The length is counted in 32-bit units.
    pending.cookie =
        xcb_get_property(m_connection, 0, window, property, XCB_ATOM_ANY, 0, (maxBytes + 3) / 4);
    pending.sent = true;
    if (m_counting) {
        m_counting->expectReply(pending.cookie.sequence);
    }
    return pending;
}

std::optional<std::vector<uint32_t>> PropertyReader::cardinals(
    const PendingProperty& pending) const {
    Reply reply = checkedReply(pending);
    if (!reply) {
        return std::nullopt;
    }
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<uint32_t>(values, values + count);
}

std::optional<uint32_t> PropertyReader::cardinal(const PendingProperty& pending) const {
    // A single value is the first item, whatever follows it: xfwm4 writes _NET_ACTIVE_WINDOW as
    // the window and a zero.
    Reply reply = checkedReply(pending, false);
    if (!reply || xcb_get_property_value_length(reply.get()) < 4) {
        return std::nullopt;
    }
    return *static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
}

std::optional<QByteArray> PropertyReader::bytes(const PendingProperty& pending) const {
    Reply reply = checkedReply(pending);
    if (!reply) {
        return std::nullopt;
    }
    const int length = xcb_get_property_value_length(reply.get());
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
}

void PropertyReader::discard(const PendingProperty& pending) const {
    if (pending.sent) {
        xcb_discard_reply(m_connection, pending.cookie.sequence);
    }
}

std::optional<QString> decodeUtf8(const QByteArray& bytes) {
    QByteArray text = bytes;
    if (text.endsWith('\0')) {
        text.chop(1);
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = decoder.decode(text);
    if (decoder.hasError() || decoded.contains(QChar(0))) {
        return std::nullopt;
    }
    return decoded;
}

QString decodeLatin1(const QByteArray& bytes) {
    QByteArray text = bytes;
    if (text.endsWith('\0')) {
        text.chop(1);
    }
    return QString::fromLatin1(text);
}

std::optional<WindowClass> parseWindowClass(const QByteArray& bytes) {
    const qsizetype firstEnd = bytes.indexOf('\0');
    if (firstEnd < 0) {
        return std::nullopt;
    }
    const qsizetype secondEnd = bytes.indexOf('\0', firstEnd + 1);
    if (secondEnd < 0) {
        return std::nullopt;
    }
    return WindowClass{QString::fromLatin1(bytes.left(firstEnd)),
                       QString::fromLatin1(bytes.mid(firstEnd + 1, secondEnd - firstEnd - 1))};
}

}  // namespace tessora::x11
