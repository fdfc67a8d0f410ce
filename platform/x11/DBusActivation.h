#pragma once

#include <QByteArray>
#include <QString>

namespace tessora::x11 {

// The D-Bus name of an activatable entry: its file name without ".desktop", when that is a
// well-known bus name (org.example.App); empty otherwise.
QString dbusApplicationId(const QString& entryPath);

// Asks the application `appId` to activate through its D-Bus service
// (org.freedesktop.Application.Activate on the session bus), with `startupId` so that its window
// gets the focus. The service must be running or activatable; the call itself is sent without
// waiting for the application, whose answer is only logged. Returns why it could not be asked
// (no session bus, no such service), empty when it was.
QString activateOverDBus(const QString& appId, const QByteArray& startupId);

}  // namespace tessora::x11
