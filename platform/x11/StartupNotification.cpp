#include "platform/x11/StartupNotification.h"

#include "platform/x11/X11Connection.h"

#include <QList>
#include <algorithm>

namespace tessora::x11 {

QByteArray makeStartupId(qint64 ownPid, quint64 serial, xcb_timestamp_t time) {
    return "tessora-" + QByteArray::number(ownPid) + '-' + QByteArray::number(serial) + "_TIME" +
           QByteArray::number(time);
}

QByteArray startupMessage(const QByteArray& kind,
                          const QList<std::pair<QByteArray, QString>>& keys) {
    QByteArray message = kind + ':';
    for (const auto& [key, value] : keys) {
        QByteArray escaped;
        for (const char c : value.toUtf8()) {
            if (c == '"' || c == '\\') {
                escaped += '\\';
            }
            escaped += c;
        }
        message += ' ' + key + "=\"" + escaped + '"';
    }
    return message;
}

void sendStartupMessage(X11Connection& connection, const QByteArray& message) {
    QByteArray text = message;
    text += '\0';
    const Atoms& atoms = connection.atoms();
    for (qsizetype offset = 0; offset < text.size(); offset += 20) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = connection.ownWindow();
        event.type = offset == 0 ? atoms._NET_STARTUP_INFO_BEGIN : atoms._NET_STARTUP_INFO;
        const qsizetype length = std::min<qsizetype>(20, text.size() - offset);
        std::copy_n(text.constData() + offset, length, event.data.data8);
        xcb_send_event(connection.get(), 0, connection.root(), XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char*>(&event));
    }
    connection.flush();
}

}  // namespace tessora::x11
