#pragma once

#include "core/Geometry.h"
#include "core/InstalledApp.h"
#include "core/TaskFwd.h"
#include "platform/Desktop.h"

#include <QList>
#include <QObject>
#include <QPointF>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace tessora {

// A top-level client window of another application; 0 is no window. Two ids are the same
// window exactly when they are equal.
using WindowId = quint64;

// One entry of the stacking list of the current desktop (front to back).
struct OnScreenWindow {
    WindowId window = 0;
    qint64 pid = 0;           // 0 when the window does not say
    QString appId;            // the application it was matched to; empty when none
    bool normalLayer = true;  // not a dock, panel or desktop window
    WindowRect frame;         // the outer frame, decorations included
};

// One window of the window manager's list, as one reading found it.
struct ListedWindow {
    WindowId window = 0;
    qint64 pid = 0;           // 0 when the window does not say
    QString appId;            // the application it was matched to; empty when none
    bool onScreen = false;    // viewable on the current desktop (neither minimized nor elsewhere)
    bool normalLayer = true;  // not a dock, panel or desktop window
    std::optional<WindowRect> frame;  // the outer frame, when it could be read
};

// Every managed window at one moment, front to back, and which one is active.
struct WindowListing {
    QList<ListedWindow> windows;
    std::optional<WindowId> active;  // absent when no window is active

    const ListedWindow* find(WindowId window) const {
        for (const ListedWindow& listed : windows) {
            if (listed.window == window) {
                return &listed;
            }
        }
        return nullptr;
    }
};

// A monitor, in window space. `visibleFrame` leaves out panels and docks.
struct Screen {
    quint32 number = 0;  // stable for the monitor while it is connected
    WindowRect frame;
    WindowRect visibleFrame;
};

// Result of opening an application: the running instance, or why it could not be opened.
struct LaunchOutcome {
    std::optional<RunningApplication> app;
    QString error;  // a human description when `app` is absent
};

// Handle of an input grab; destroying it releases the grab.
class InputGrab {
public:
    virtual ~InputGrab() = default;
};

// A wheel or touchpad scroll, with the modifiers held (design flags, see KeyModifiers).
struct ScrollInput {
    double deltaX = 0;
    double deltaY = 0;
    bool precise = false;  // a touchpad's smooth deltas rather than wheel notches
    QPointF location;      // pointer, in window space
    quint32 modifiers = 0;
};

// A key press normalised to macOS virtual key codes and modifier flags, the vocabulary the key
// rules are written in: Ctrl is Command, Super is Control, Alt is Option.
struct KeyInput {
    quint32 keyCode = 0;
    quint32 modifiers = 0;
};

// A key press taken while the keyboard is held: normalised, with what it types and its keysym.
struct TypedKey {
    KeyInput key;
    QString text;        // the characters it types with the modifiers held; empty for none
    quint32 keysym = 0;  // the X keysym (or the platform's equivalent), 0 when unknown
};

namespace KeyModifiers {
inline constexpr quint32 shift = 0x20000;
inline constexpr quint32 control = 0x40000;   // the Super key
inline constexpr quint32 option = 0x80000;    // the Alt key
inline constexpr quint32 command = 0x100000;  // the Ctrl key
}  // namespace KeyModifiers

namespace KeyCodes {
inline constexpr quint32 leftArrow = 123;
inline constexpr quint32 rightArrow = 124;
inline constexpr quint32 escape = 53;
}  // namespace KeyCodes

enum class InputDecision { Pass, Swallow };

// Everything the arranging logic needs from the window system, as primitives. The operations of
// window access (arrange/WindowAccess) are written once on top of these and run unchanged on
// every backend.
//
// Conventions:
//  - Every read of another client's state is fallible: absent (std::nullopt or an empty list)
//    means the value could not be read, is of the wrong kind or the window is gone. Reads never
//    throw and never block longer than one round trip to the window system.
//  - Writes report nothing; only reading back tells whether they took effect.
//  - All frames are outer frames (decorations included) in window space.
//  - Main thread only. Notifications arrive as Qt signals.
class WindowSystem : public QObject, public Desktop {
    Q_OBJECT

public:
    using QObject::QObject;

    // Whether windows of other applications can be moved here; `reason` says what is missing
    // (no X display, no EWMH window manager, a Wayland session, ...).
    virtual bool canControlWindows(QString* reason = nullptr) const = 0;

    // --- applications
    // The first running instance of the application with this id, if any.
    virtual std::optional<RunningApplication> runningApplication(const QString& appId) const = 0;
    // Nothing of the instance runs any more (a launch still starting up does not count as ended).
    virtual bool isTerminated(const RunningApplication& app) const = 0;
    // Launches the application (or, when it runs, asks it to open a window), activating it or not.
    virtual Task<LaunchOutcome> openApplication(InstalledApp app, bool activate) = 0;
    virtual void activate(const RunningApplication& app) = 0;
    // The id of the application of the active window, if any.
    virtual std::optional<QString> frontmostApplicationId() const = 0;
    // The application of the active window, with its process id when known.
    virtual std::optional<RunningApplication> frontmostApplication() const = 0;

    // --- windows of an application
    // Its top-level client windows in the window manager's client order; absent when they
    // cannot be listed.
    virtual std::optional<QList<WindowId>> windows(const RunningApplication& app) const = 0;
    // The active window when it belongs to the application.
    virtual std::optional<WindowId> focusedWindow(const RunningApplication& app) const = 0;
    // The application's topmost window in the stacking order.
    virtual std::optional<WindowId> mainWindow(const RunningApplication& app) const = 0;

    // --- one window
    // A normal application window (not a dialog, utility, dock, ...).
    virtual std::optional<bool> isStandardWindow(WindowId window) const = 0;
    virtual std::optional<bool> isMinimized(WindowId window) const = 0;
    virtual std::optional<bool> isFullScreen(WindowId window) const = 0;
    virtual std::optional<WindowRect> frame(WindowId window) const = 0;
    virtual void setFrame(WindowId window, const WindowRect& frame) = 0;
    virtual void setPosition(WindowId window, double x, double y) = 0;
    virtual void raise(WindowId window) = 0;
    // Activates the application and gives the window the focus, raised.
    virtual void focus(const RunningApplication& app, WindowId window) = 0;
    // The window still exists and is still managed.
    virtual bool isAlive(WindowId window) const = 0;

    // --- the desktop
    // Viewable windows of the current desktop, front to back.
    virtual QList<OnScreenWindow> onScreenWindows() const = 0;
    // The whole window list in one reading, for checks that ask about many windows at once:
    // every managed window (minimized, on other desktops, ...) with its application and whether
    // it is on screen, and the active window. A window is alive exactly when it is listed.
    // Absent when the list cannot be read, or this window system cannot list its windows.
    virtual std::optional<WindowListing> listWindows() const = 0;
    // Monitors; the first is the primary one (its frame's origin is (0, 0) in window space).
    virtual QList<Screen> screens() const = 0;
    virtual std::optional<QPointF> pointerLocation() const = 0;

    // --- global input (absent, i.e. nullptr, when the grab cannot be made)
    // Alt+scroll anywhere: each event is passed on or swallowed by `handler`, at once.
    virtual std::unique_ptr<InputGrab> grabOptionScroll(
        std::function<InputDecision(const ScrollInput&)> handler) = 0;
    // Super+Alt+Left and Super+Alt+Right (whatever else is held).
    virtual std::unique_ptr<InputGrab> grabCycleKeys(
        std::function<InputDecision(const KeyInput&)> handler) = 0;
    // A system-wide hot key: `combination` (a virtual key code with KeyModifiers flags) calls
    // `onPress` wherever the focus is, whatever lock modifiers are on. Null when the combination
    // cannot be had: taken by another client, a key this keyboard lacks, no display. The press
    // itself is swallowed.
    virtual std::unique_ptr<InputGrab> grabHotKey(KeyInput combination,
                                                  std::function<void()> onPress) = 0;
    // Watches presses of the left and right mouse buttons anywhere, over other clients too,
    // without taking them from anyone. `handler` gets the pointer in window space. Null when the
    // window system cannot report them.
    virtual std::unique_ptr<InputGrab> watchButtonPresses(
        std::function<void(QPointF location)> handler) = 0;

    // --- our own windows (ids of this process's top-level windows)
    // Marks one of our windows, before it is first mapped, as a floating panel: kept above other
    // windows, on every desktop, out of the taskbar and the pager.
    virtual void preparePanelWindow(WindowId ownWindow) = 0;
    // Raises one of our windows and gives it the focus, stamped with the time of the user's latest
    // input that we saw (window managers refuse focus to requests that look stale).
    virtual void activateOwnWindow(WindowId ownWindow) = 0;
    // Takes the whole keyboard until the grab is destroyed: every key press in between goes to
    // `handler` instead of the focused window, so that keys typed while our panel appears are
    // not lost. Null when the keyboard cannot be had (another client holds it).
    virtual std::unique_ptr<InputGrab> holdKeyboard(
        std::function<void(const TypedKey&)> handler) = 0;

signals:
    void activeWindowChanged();
    void currentDesktopChanged();
    void screensChanged();
};

}  // namespace tessora
