#pragma once

#include <xcb/xcb.h>
#include <QByteArray>
#include <QString>

namespace tessora::x11 {

class X11Connection;

// Startup notification (the freedesktop.org protocol): the launcher announces a launch with
// "new:" and ends it with "remove:", so that the window manager can place and focus the new
// window by the launch's timestamp, and refrain from focusing it for a launch at time 0.

// A fresh id; its "_TIME<n>" suffix carries the timestamp (0: do not focus the new window).
QByteArray makeStartupId(qint64 ownPid, quint64 serial, xcb_timestamp_t time);

// The message text, values quoted and escaped.
QByteArray startupMessage(const QByteArray& kind,
                          const QList<std::pair<QByteArray, QString>>& keys);

// Sends a message to the root window in 20-byte pieces (_NET_STARTUP_INFO_BEGIN, then
// _NET_STARTUP_INFO), terminated by NUL.
void sendStartupMessage(X11Connection& connection, const QByteArray& message);

}  // namespace tessora::x11
