#pragma once

#include "core/Clock.h"
#include "platform/WindowSystem.h"
#include "platform/x11/ApplicationMatcher.h"
#include "platform/x11/X11FrameRequests.h"
#include "platform/x11/X11PointSpace.h"

#include <QByteArray>
#include <QHash>
#include <QPoint>
#include <memory>

namespace tessora {

namespace x11 {
class X11Connection;
class X11Screens;
class GlobalInput;
class HotKeyGrabs;
class OwnWindows;
class PointerWatch;
class KeyboardHold;
class EntryLauncher;
class Keyboard;
struct WindowFacts;
struct Traffic;
}  // namespace x11

struct X11Options {
    QByteArray display;  // empty: $DISPLAY
    // Desktop entries to match windows to before (or instead of) those the catalog hands over.
    x11::KnownEntrySource knownEntries;
    // How long a launch of ours counts as starting up: single-instance and D-Bus activated
    // applications hand over to another process, whose window may come later.
    std::chrono::milliseconds startupWindow{15000};
    // X pixels per point: the device pixel ratio of our own views (Qt's), so that window space,
    // work areas and every distance count Qt's logical pixels on a scaled desktop too.
    double pixelRatio = 1.0;
    // Whether the display is XWayland in a Wayland session, where the windows of Wayland
    // applications are out of reach: read from this process's environment when absent.
    std::optional<bool> waylandSession;
};

// Whether the environment describes a Wayland session: XDG_SESSION_TYPE is "wayland" or
// WAYLAND_DISPLAY is set (not empty).
bool isWaylandSession(const QByteArray& sessionType, const QByteArray& waylandDisplay);

// The window system of an X11 session with an EWMH window manager, on a connection of its own.
// Window ids are X11 client windows (the ones in _NET_CLIENT_LIST, not the frames). Everything it
// reports and takes is in points (see X11Options::pixelRatio and x11::PointSpace).
//
// It always has a connection. Without a window manager every write is ignored by the server
// and canControlWindows() says why; a connection that breaks later makes every read absent
// (xcb answers no reply on it) and is reported there too.
class X11WindowSystem final : public WindowSystem {
    Q_OBJECT

public:
    // The backend on the display, or null (with `reason`) when it cannot be reached. `clock`
    // must outlive it.
    static std::unique_ptr<X11WindowSystem> open(Clock& clock, X11Options options = {},
                                                 QString* reason = nullptr);
    // The backend when the display can be reached, else an UnavailableWindowSystem that says
    // why. Never null; `reason` is empty when windows can be controlled.
    static std::unique_ptr<WindowSystem> connect(QString* reason, Clock& clock,
                                                 X11Options options = {});
    ~X11WindowSystem() override;
    // Whether an X server answers on `display` ($DISPLAY when empty), for choosing between a
    // graphical and a plain process before anything else connects.
    static bool displayReachable(const QByteArray& display = {});

    void setDesktopEntries(const QList<DesktopEntryFile>& files) override;
    // Asks X11Options::knownEntries again; a changed list replaces the old one.
    void refreshApplications();
    // What the backend sent to the X server so far (for tests and benchmarks).
    x11::Traffic traffic();

    bool canControlWindows(QString* reason = nullptr) const override;

    QList<RunningApplication> runningApplications() const override;
    std::optional<RunningApplication> runningApplication(const QString& appId) const override;
    bool isTerminated(const RunningApplication& app) const override;
    Task<LaunchOutcome> openApplication(InstalledApp app, bool activate) override;
    void activate(const RunningApplication& app) override;
    std::optional<QString> frontmostApplicationId() const override;
    std::optional<RunningApplication> frontmostApplication() const override;

    std::optional<QList<WindowId>> windows(const RunningApplication& app) const override;
    std::optional<WindowId> focusedWindow(const RunningApplication& app) const override;
    std::optional<WindowId> mainWindow(const RunningApplication& app) const override;

    std::optional<bool> isStandardWindow(WindowId window) const override;
    std::optional<bool> isMinimized(WindowId window) const override;
    std::optional<bool> isFullScreen(WindowId window) const override;
    std::optional<WindowRect> frame(WindowId window) const override;
    Size attainableSize(WindowId window, const Size& wanted) const override;
    Margins invisibleMargins(WindowId window) const override;
    void setFrame(WindowId window, const WindowRect& frame) override;
    void setPosition(WindowId window, double x, double y) override;
    // A _NET_ACTIVE_WINDOW request, as a taskbar makes to restore a window.
    void raise(WindowId window) override;
    void setMinimized(WindowId window, bool minimized) override;
    void focus(const RunningApplication& app, WindowId window) override;
    bool isAlive(WindowId window) const override;
    bool isGone(WindowId window) const override;

    QList<OnScreenWindow> onScreenWindows() const override;
    std::optional<WindowListing> listWindows() const override;
    QList<Screen> screens() const override;
    std::optional<QPointF> pointerLocation() const override;

    std::unique_ptr<InputGrab> grabOptionScroll(
        ScrollGrabRule rule, std::function<void(const ScrollInput&)> handler) override;
    std::unique_ptr<InputGrab> grabCycleKeys(
        std::function<void(const KeyStroke&)> handler) override;
    std::unique_ptr<InputGrab> grabHotKey(const KeyStroke& combination,
                                          std::function<void()> onPress) override;
    std::unique_ptr<InputGrab> watchButtonPresses(
        std::function<void(QPointF location)> handler) override;
    void preparePanelWindow(WindowId ownWindow) override;
    void activateOwnWindow(WindowId ownWindow) override;
    bool ownWindowWithdrawn(WindowId ownWindow) override;
    void releaseOwnFocus(WindowId ownWindow) override;
    std::unique_ptr<InputGrab> holdKeyboard(std::function<void(const TypedKey&)> handler) override;
    // Qt's scan codes on X11 are X key codes: the key is read from this server's keyboard map.
    KeyStroke keyStroke(int qtKey, Qt::KeyboardModifiers modifiers,
                        quint32 nativeScanCode) const override;

private:
    void useEntries(QList<x11::KnownEntry> entries);
    struct Client {
        x11::WindowFacts facts;
        x11::ApplicationMatch app;
    };
    // A launch of ours. Until a window of its application appears (or the startup window runs
    // out) it is still starting up: it counts as running, and opening the application again
    // answers it instead of launching a second instance.
    struct Launch {
        RunningApplication app;
        Clock::TimePoint until{};
        Clock::TimerId endTimer = 0;
        bool shown = false;  // a window of its application has appeared since
    };

    X11WindowSystem(Clock& clock, X11Options options, std::unique_ptr<x11::X11Connection> c);

    void handleEvent(const xcb_generic_event_t& event);
    std::optional<std::vector<uint32_t>> rootWindows(xcb_atom_t property) const;
    std::optional<uint32_t> rootCardinal(xcb_atom_t property, xcb_atom_t type) const;
    // The managed clients with their facts (identity always) and application, in the order of
    // _NET_CLIENT_LIST or, with `stacking`, bottom to top.
    std::optional<QList<Client>> clients(unsigned facts, bool stacking) const;
    // The clients of a list read from the root window, in its order, less those gone since.
    QList<Client> clientsOf(const std::vector<uint32_t>& list, unsigned facts) const;
    std::optional<x11::WindowFacts> facts(WindowId window, unsigned what) const;
    // What is known of the active window (_NET_ACTIVE_WINDOW), if any.
    std::optional<x11::WindowFacts> activeWindowFacts() const;
    x11::ApplicationMatch applicationOf(const x11::WindowFacts& facts) const;
    bool isNormalLayer(const x11::WindowFacts& facts) const;
    WindowRect toWindowSpace(const QRect& rootRect) const;
    QPoint fromWindowSpace(double x, double y) const;
    // The window manager's frame around the client and the client's own shadow, from the last
    // read, or from a read made now when they may have changed since; absent when it is gone.
    struct Decorations {
        QMargins extents;
        QMargins shadow;
    };
    std::optional<Decorations> decorations(xcb_window_t window);
    // Asks the window manager to end the maximized and full-screen states the window was last
    // read in.
    void releaseHeldStates(xcb_window_t window);
    // Sends the request unless it repeats the last one for the window (X11FrameWrites.cpp).
    void requestFrame(xcb_window_t window, const x11::FrameRequest& request);
    // Events of the windows written to; true when the event was about one of them.
    bool handleFrameEvent(const xcb_generic_event_t& event) const;
    // What reads tell of the windows' decorations and of where they are.
    // `what` says which facts the read asked for.
    void learnFrames(const std::vector<x11::WindowFacts>& read, unsigned what) const;
    void endStartup(const QByteArray& startupId);
    // The launch of the application that is still starting up, if any.
    const Launch* startingLaunch(const QString& appId) const;
    // Notes the launches whose application now shows a window among `clients`.
    void noteShownLaunches(const QList<Client>& clients) const;

    Clock& m_clock;
    X11Options m_options;
    std::unique_ptr<x11::X11Connection> m_connection;
    std::unique_ptr<x11::Keyboard> m_keyboard;
    std::unique_ptr<x11::EntryLauncher> m_launcher;
    std::unique_ptr<x11::X11Screens> m_screens;
    std::unique_ptr<x11::GlobalInput> m_input;
    std::unique_ptr<x11::HotKeyGrabs> m_hotKeys;  // made with the first hot key
    std::unique_ptr<x11::OwnWindows> m_ownWindows;
    std::unique_ptr<x11::PointerWatch> m_pointerWatch;
    std::unique_ptr<x11::KeyboardHold> m_keyboardHold;
    x11::ApplicationMatcher m_matcher;
    QList<x11::KnownEntry> m_knownEntries;  // what m_matcher matches against
    struct CachedMatch {
        std::optional<qint64> pid;
        x11::ApplicationMatch match;
    };
    mutable QHash<WindowId, CachedMatch> m_matches;
    mutable x11::FrameRequests m_frameRequests;  // learns from reads
    mutable x11::PointSpace m_points;            // learns the primary monitor's origin from reads
    mutable std::optional<bool> m_restackSupported;
    mutable QList<Launch> m_launches;  // mutable: reads of the client list see them shown
    quint64 m_launchSerial = 0;
};

}  // namespace tessora
