#pragma once

#include <QByteArray>
#include <QLibrary>
#include <QString>
#include <memory>

namespace tessora::x11 {

// What launching a desktop entry gave.
struct GioLaunch {
    bool launched = false;
    qint64 pid = 0;  // 0 when no process was spawned by us (D-Bus activation)
    QString error;
};

// Launches desktop entries through GIO (field codes, Terminal=true and D-Bus activation are
// GIO's; never through a shell). GIO and the libraries it pulls in (GObject, libmount, libblkid,
// SELinux, ...) are loaded with the first launch, not at start: a resident program that may never
// launch anything does not carry them. Main thread only.
class GioLauncher {
public:
    GioLauncher();
    ~GioLauncher();
    GioLauncher(const GioLauncher&) = delete;
    GioLauncher& operator=(const GioLauncher&) = delete;

    // Launches the entry at `entryPath` with DESKTOP_STARTUP_ID set to `startupId` in the
    // child's environment, and DISPLAY set to `display` (the display the backend works on).
    // GIO spawns through an intermediate child, so the launched process is reaped by init,
    // never left a zombie of ours. The child's standard input, output and error are /dev/null.
    //
    // Blocks for the fork and exec (a few milliseconds; the first launch also loads GIO). An
    // entry with DBusActivatable=true connects to the session bus the first time
    // (synchronously; local socket, normally well under 100 ms) and then sends an asynchronous
    // Activate call.
    GioLaunch launch(const QString& entryPath, const QByteArray& display,
                     const QByteArray& startupId);

private:
    struct Functions;
    // The functions of GIO, loaded on first use; null when GIO cannot be loaded.
    const Functions* functions();

    QLibrary m_library;
    std::unique_ptr<Functions> m_functions;
    bool m_tried = false;
    QString m_loadError;
};

}  // namespace tessora::x11
