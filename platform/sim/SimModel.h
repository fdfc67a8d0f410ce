#pragma once

#include "core/Clock.h"
#include "core/Geometry.h"
#include "core/InstalledApp.h"
#include "platform/Desktop.h"

#include <QList>
#include <QString>
#include <optional>

namespace tessora {

// The records a SimWindowSystem keeps. Tests read the counters and may change any field
// directly; the setters of SimWindowSystem exist where a change has side effects (signals,
// stacking, timers).

using SimWindowId = quint64;  // the same values as WindowId

enum class SimWindowKind {
    Normal,  // a standard application window
    Dialog,  // transient, utility or any other non-normal type
    Dock,    // a panel or dock: listed on screen, but not in the normal layer
};

// A window an application opens when it is launched (or asked again while it shows none),
// `delay` of virtual time after the launch reports back. Until the first of them appears the
// launch is still starting up: the process runs, but the window manager lists no window of it.
struct SimPlannedWindow {
    WindowRect frame;
    Clock::Duration delay{0};
    SimWindowKind kind = SimWindowKind::Normal;
};

struct SimApp {
    QString id;
    QString name;
    bool running = false;
    qint64 pid = 0;  // of the current instance; 0 while nothing runs
    bool regular = true;
    QString launchError;                    // when set, every launch fails with this text
    Clock::Duration launchDelay{0};         // virtual time until a launch reports back
    QList<SimPlannedWindow> windowsOnOpen;  // opened by every launch or reopen
    // Where the running instance says it comes from; the entry path when empty. An executable
    // here makes it an application that matches no desktop entry.
    QString location;
    std::optional<std::chrono::milliseconds> launchTime;  // unknown when absent
    // A launch of it is still starting up: the instance runs but has shown no window since,
    // and asking to open it again does not launch it again. Ends with the first window that
    // appears, or when the startup period runs out.
    bool starting = false;

    // What the logic did.
    int openCalls = 0;
    int launches = 0;  // open requests that started the instance or asked it for new windows
    int activations = 0;
    int windowListReads = 0;

    // The record the logic is handed for this application.
    InstalledApp installedApp() const {
        return {id, name, QStringLiteral("/usr/share/applications/%1.desktop").arg(id), {}};
    }
    RunningApplication runningApplication() const {
        RunningApplication app;
        app.id = id;
        app.name = name;
        app.location = location.isEmpty() ? installedApp().url : location;
        app.regular = regular;
        app.pid = pid;
        app.launchTime = launchTime;
        return app;
    }

private:
    friend class SimWindowSystem;
    enum class ListMode { Real, Fixed, Failing };
    ListMode listMode = ListMode::Real;
    QList<SimWindowId> fixedList;
    int startupSerial = 0;  // tells the startup period's end of an earlier launch from this one
};

struct SimWindow {
    static constexpr int kAllDesktops = -1;

    SimWindowId id = 0;
    QString appId;
    WindowRect frame;
    SimWindowKind kind = SimWindowKind::Normal;
    bool mapped = false;  // has appeared (windows may be scripted to appear later)
    bool alive = true;    // false once closed
    bool minimized = false;
    // Held by the window manager where they are; a write takes the window out of them first.
    bool fullScreen = false;
    bool maximized = false;
    int desktop = 0;
    bool readable = true;  // false: every read of the window fails
    Size minimumSize;      // a component of 0 means no minimum
    Size sizeIncrement;    // sizes are base + k * increment; 0 means any size
    Size baseSize;
    Clock::Duration settleDelay{0};  // a write takes effect only this much later
    bool staysPut = false;           // its client puts it back after every write, at once
    // The stacking list's view of the window when it differs from what frame() reads.
    std::optional<WindowRect> listedFrame;
    bool listsPid = true;      // false: the stacking list gives pid 0 (no _NET_WM_PID)
    bool matchedToApp = true;  // false: the stacking list gives no application id

    // What the logic did.
    int frameWrites = 0;     // setFrame calls
    int positionWrites = 0;  // setPosition calls
    int frameReads = 0;
    int propertyReads = 0;  // kind, minimized, full screen
    int raises = 0;
    int unminimizes = 0;       // setMinimized(false) calls
    int minimizeRequests = 0;  // setMinimized calls, either way
    int focuses = 0;
    QList<WindowRect> requestedFrames;  // every setFrame, in order
};

}  // namespace tessora
