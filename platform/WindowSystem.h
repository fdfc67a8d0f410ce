#pragma once

#include "core/Geometry.h"
#include "core/InstalledApp.h"
#include "core/TaskFwd.h"
#include "platform/Desktop.h"
#include "platform/DesktopEntry.h"
#include "platform/Keys.h"
#include "platform/Screens.h"

#include <QList>
#include <QObject>
#include <QPointF>
#include <QString>
#include <chrono>
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
    WindowRect frame;         // the frame the user sees, decorations included
};

// One window of the window manager's list, as one reading found it.
struct ListedWindow {
    WindowId window = 0;
    qint64 pid = 0;         // 0 when the window does not say
    QString appId;          // the application it was matched to; empty when none
    bool onScreen = false;  // viewable on the current desktop (neither minimized nor elsewhere)
    bool onCurrentDesktop = false;  // on the current desktop (or on all), minimized or not
    bool minimized = false;
    bool normalLayer = true;          // not a dock, panel or desktop window
    std::optional<WindowRect> frame;  // the frame the user sees, when it could be read
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

// A wheel or touchpad scroll, with the modifiers held.
struct ScrollInput {
    double deltaX = 0;
    double deltaY = 0;
    bool precise = false;  // a touchpad's smooth deltas rather than wheel notches
    QPointF location;      // pointer, in window space
    KeyModifiers modifiers;
};

enum class InputDecision { Pass, Swallow };

// Which Alt+scroll events a grab takes from the window under the pointer. The window system
// decides each event at once from this alone, never waiting for the program: the desktop's
// input does not depend on whether the program's main thread answers.
struct ScrollGrabRule {
    // Alt+scroll with the pointer in here (window space) is taken; elsewhere it passes on.
    WindowRect area;
    // Once an event was taken, every wheel event is, wherever the pointer and whatever keys are
    // down, until none came for this long: the notches of a fast wheel all reach the grab, and
    // none the window under the pointer. A press of another button ends it and reaches its
    // window. Zero: each event is decided by itself.
    std::chrono::milliseconds gesture{0};
};

// Everything the arranging logic needs from the window system, as primitives. The operations of
// window access (arrange/WindowAccess) are written once on top of these and run unchanged on
// every backend.
//
// Conventions:
//  - Every read of another client's state is fallible: absent (std::nullopt or an empty list)
//    means the value could not be read, is of the wrong kind or the window is gone. Reads never
//    throw and never block longer than one round trip to the window system.
//  - Writes report nothing; only reading back tells whether they took effect.
//  - All frames are the frames the user sees (the window manager's decorations included, the
//    invisible shadow of a client-side decorated window left out), in window space.
//  - Main thread only. Notifications arrive as Qt signals.
class WindowSystem : public QObject, public Desktop {
    Q_OBJECT

public:
    using QObject::QObject;

    // Whether windows of other applications can be moved here; `reason` says what is missing
    // (no X display, no EWMH window manager, a Wayland session, ...).
    virtual bool canControlWindows(QString* reason = nullptr) const = 0;

    // --- applications
    // The desktop entries of the application folders, as the catalog has just read them (no
    // backend reads the folders itself): windows are matched against them from now on. Backends
    // that match nothing ignore them.
    virtual void setDesktopEntries(const QList<DesktopEntryFile>& files) { (void)files; }
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
    // The size the window's frame takes when `wanted` is written: held to what its client says
    // it accepts (minimum and maximum size, size increments), as far as that is known. `wanted`
    // itself for a window that says nothing.
    virtual Size attainableSize(WindowId window, const Size& wanted) const {
        Q_UNUSED(window);
        return wanted;
    }
    // What the window draws around its visible frame that nobody sees (a client-side shadow). A
    // window manager that keeps whole windows on screen keeps these parts on screen too, which
    // moves the visible frame inward at the area's edges. Nothing for a window that says nothing.
    virtual Margins invisibleMargins(WindowId window) const {
        Q_UNUSED(window);
        return {};
    }
    // A maximized or full-screen window leaves those states first, as one that the user drags.
    virtual void setFrame(WindowId window, const WindowRect& frame) = 0;
    virtual void setPosition(WindowId window, double x, double y) = 0;
    virtual void raise(WindowId window) = 0;
    // Minimizes the window, or brings a minimized one back where it was, as a taskbar does (it
    // may come back raised and active); either shows once the window manager has done it.
    virtual void setMinimized(WindowId window, bool minimized) = 0;
    // Activates the application and gives the window the focus, raised.
    virtual void focus(const RunningApplication& app, WindowId window) = 0;
    // The window still exists and is still managed.
    virtual bool isAlive(WindowId window) const = 0;
    // The window will not come back: it was destroyed, or its application withdrew it (closed
    // it, or hid it in a tray). A window that no window manager lists for the moment, as while
    // one window manager hands over to another, is not gone.
    virtual bool isGone(WindowId window) const = 0;

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
    // Alt+scroll as `rule` says: the events it takes reach `handler` on the main thread, once
    // that gets to them; the others pass on to the window under the pointer. One at a time.
    virtual std::unique_ptr<InputGrab> grabOptionScroll(
        ScrollGrabRule rule, std::function<void(const ScrollInput&)> handler) = 0;
    // Super+Alt+Left and Super+Alt+Right (whatever else is held): all taken, and handed to
    // `handler` as for the scroll grab.
    virtual std::unique_ptr<InputGrab> grabCycleKeys(
        std::function<void(const KeyStroke&)> handler) = 0;
    // A system-wide hot key: `combination` calls `onPress` wherever the focus is, whatever lock
    // modifiers are on. Null when the combination cannot be had: taken by another client, a key
    // this keyboard lacks, no display. The press itself is swallowed.
    virtual std::unique_ptr<InputGrab> grabHotKey(const KeyStroke& combination,
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
    // Raises one of our windows and gives it the focus, as a tool acting for the user, stamped
    // with the server's time now (window managers refuse focus to requests that look stale).
    virtual void activateOwnWindow(WindowId ownWindow) = 0;
    // Whether the window manager has let go of one of our hidden windows, so that it may be
    // shown again: a window hidden a moment ago may still be managed, and showing it before the
    // window manager has withdrawn it races the window manager's own bookkeeping (some then
    // leave the window without the focus, unmanaged, or where it was). True where no window
    // manager runs. ownWindowStateChanged() tells when the answer may have changed.
    virtual bool ownWindowWithdrawn(WindowId ownWindow) = 0;
    // Before one of our windows is hidden: if it has the keyboard focus, the keyboard goes back
    // to the desktop, so that it never ends up nowhere while the window manager picks the next
    // window (keys typed meanwhile, the hot key among them, would reach nobody).
    virtual void releaseOwnFocus(WindowId ownWindow) = 0;
    // Takes the whole keyboard until the grab is destroyed: every key press in between goes to
    // `handler` instead of the focused window, so that keys typed while our panel appears are
    // not lost. Null when the keyboard cannot be had (another client holds it).
    virtual std::unique_ptr<InputGrab> holdKeyboard(
        std::function<void(const TypedKey&)> handler) = 0;

    // --- keys typed into our own windows
    // The stroke of a key event that Qt delivered to one of our windows, from the event's key,
    // modifiers and native scan code: the key's unshifted meaning on this keyboard, so that
    // Ctrl+C is C whatever the layout. By default Qt's key decides (see keyStrokeFromQt);
    // backends that know the keyboard's layout read the key itself.
    virtual KeyStroke keyStroke(int qtKey, Qt::KeyboardModifiers modifiers,
                                quint32 nativeScanCode) const {
        Q_UNUSED(nativeScanCode);
        return keyStrokeFromQt(qtKey, modifiers);
    }

signals:
    void activeWindowChanged();
    void currentDesktopChanged();
    void screensChanged();
    void ownWindowStateChanged(WindowId ownWindow);
};

}  // namespace tessora
