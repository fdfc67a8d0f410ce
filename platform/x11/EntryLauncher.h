#pragma once

#include <QByteArray>
#include <QString>

namespace tessora::x11 {

// What launching a desktop entry gave.
struct EntryLaunch {
    bool launched = false;
    qint64 pid = 0;  // 0 when no process was spawned by us (D-Bus activation)
    QString error;
};

// Launches desktop entries as GIO would, from the entry's own file alone: GIO's launch first
// builds its index of every application folder, walking them and following symbolic links with
// no end (two links to "." in one folder stall it for good), so GIO is not used.
//
// The Exec line is split and its field codes expanded (DesktopExec) and the program is spawned
// directly, never through a shell, in the entry's Path folder; Terminal=true runs it in a
// terminal emulator; DBusActivatable=true asks the application's D-Bus service to activate
// (DBusActivation), falling back to the Exec line when the service is not there. The child's
// environment has DISPLAY, DESKTOP_STARTUP_ID and GIO_LAUNCHED_DESKTOP_FILE(_PID) as a GIO launch
// gives it; its standard input, output and error are /dev/null (inherited, they would tie it
// to whoever reads our output: `tessora --arrange ... | less` would not end before it did),
// and it is started through an intermediate child, so init reaps it, never left a zombie of
// ours. Blocks for the fork and exec (a few milliseconds), or for two calls to the session bus.
// Main thread only.
class EntryLauncher {
public:
    EntryLaunch launch(const QString& entryPath, const QByteArray& display,
                       const QByteArray& startupId);
};

}  // namespace tessora::x11
