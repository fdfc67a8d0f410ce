#pragma once

#include <QByteArray>
#include <QString>

namespace tessora::x11 {

// What launching a desktop entry gave.
struct GioLaunch {
    bool launched = false;
    qint64 pid = 0;  // 0 when no process was spawned by us (D-Bus activation)
    QString error;
};

// Launches the desktop entry at `entryPath` through GIO (field codes, Terminal=true and D-Bus
// activation are GIO's; never through a shell), with DESKTOP_STARTUP_ID set to `startupId` in
// the child's environment, and DISPLAY set to `display` (the display the backend works on).
// GIO spawns through an intermediate child, so the launched process is reaped by init, never
// left a zombie of ours.
//
// Blocks for the fork and exec (a few milliseconds). An entry with DBusActivatable=true
// connects to the session bus the first time (synchronously; local socket, normally well under
// 100 ms) and then sends an asynchronous Activate call.
GioLaunch launchDesktopEntry(const QString& entryPath, const QByteArray& display,
                             const QByteArray& startupId);

}  // namespace tessora::x11
