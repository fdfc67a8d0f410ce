#pragma once

#include "platform/WindowSystem.h"
#include "platform/sim/SimHotKeys.h"
#include "platform/sim/SimInputGrabs.h"
#include "platform/sim/SimModel.h"
#include "platform/sim/SimShellInput.h"

#include <QHash>
#include <QSet>
#include <map>
#include <memory>
#include <vector>

namespace tessora {

// A scripted desktop for tests, on an injected (virtual) clock:
//
//   VirtualClock clock;
//   SimWindowSystem sim(clock);
//   auto& editor = sim.addApp("org.example.Editor", "Editor");
//   auto w = sim.addWindow(editor, {0, 0, 800, 600});
//   sim.setMinimumSize(w, {900, 0});
//   ... run the logic with editor.installedApp() ...
//   EXPECT_EQ(sim.window(w).frameWrites, 2);
//
// It behaves like an EWMH window manager: new windows go on top of the stacking order,
// sizes are held to minimum sizes and rounded to size increments, a write first takes a
// maximized or full-screen window out of those states (as the X11 backend asks the window
// manager), minimized windows and windows of other desktops are not on screen, and a minimized
// window that is restored comes back raised and active once a write would settle. Everything
// that waits (launch delays, late windows, late-settling writes, scheduled closes) runs on the
// clock, which must outlive the sim. Unknown window ids are absent for the seam's reads;
// window() throws std::out_of_range for them, which fails the test that asked.
class SimWindowSystem final : public WindowSystem {
public:
    // How long a launch counts as starting up when no window of it appears (as on X11).
    static constexpr Clock::Duration kStartupPeriod = std::chrono::seconds(15);

    explicit SimWindowSystem(Clock& clock, QObject* parent = nullptr);
    ~SimWindowSystem() override;

    // --- scripting applications
    // A running application (with a fresh pid) that shows no window yet.
    SimApp& addApp(const QString& id, const QString& name);
    // An installed application that does not run; launching starts it.
    SimApp& addInstalledApp(const QString& id, const QString& name);
    SimApp& app(const QString& id);
    // The instance ends: its windows close.
    void quit(SimApp& app);
    // Each launch (or reopen of an instance without windows) opens this window after `delay`;
    // until the first window appears, opening the application again launches nothing.
    void opensWindowOnLaunch(SimApp& app, const WindowRect& frame, Clock::Duration delay = {});
    // What windows(app) answers instead of the real client list: a fixed list (duplicates
    // allowed), or with std::nullopt a failed read. restoreWindowList() undoes it.
    void overrideWindowList(SimApp& app, std::optional<QList<WindowId>> list);
    void restoreWindowList(SimApp& app);

    // --- scripting windows (only running applications have windows: adding one to an
    // application that does not run starts it)
    WindowId addWindow(SimApp& app, const WindowRect& frame,
                       SimWindowKind kind = SimWindowKind::Normal);
    // A window that appears `delay` from now; its id is valid at once.
    WindowId addWindowLater(SimApp& app, const WindowRect& frame, Clock::Duration delay,
                            SimWindowKind kind = SimWindowKind::Normal);
    SimWindow& window(WindowId id);
    QList<WindowId> windowsOf(const SimApp& app) const;  // mapped and alive, client order
    void closeWindow(WindowId id);
    void closeWindowLater(WindowId id, Clock::Duration delay);
    void setMinimumSize(WindowId id, Size minimum);
    void setSizeIncrements(WindowId id, Size increment, Size base = {});
    void setSettleDelay(WindowId id, Clock::Duration delay);
    // Makes `id` the active window (raised), or no window active; emits activeWindowChanged.
    void setActiveWindow(std::optional<WindowId> id);
    // Runs `action` once, right after the next setFrame of the window.
    void onNextWrite(WindowId id, std::function<void()> action);

    // --- scripting the desktop
    void setCurrentDesktop(int desktop);
    int currentDesktop() const { return m_currentDesktop; }
    void setScreens(QList<Screen> screens);
    void setPointer(std::optional<QPointF> location) { m_pointer = location; }
    // A window manager that keeps windows on screen: a write that would leave less than
    // `visible` points of a window (all of it when wider) inside the screens horizontally is
    // pulled back until that much is inside, as mutter or icewm keep all of it and openbox or
    // xfwm4 a strip. Absent (the default): windows go wherever they are asked to.
    void setKeepsWindowsOnScreen(std::optional<double> visible) { m_keepOnScreen = visible; }
    // Empty: windows can be controlled; otherwise the reason they cannot.
    void setControlUnavailable(QString reason) { m_unavailableReason = std::move(reason); }
    // The window manager exits (false) and another takes over the same windows (true): in
    // between, the window list is empty and no window counts as alive, but none is gone.
    void setWindowManagerRunning(bool running) { m_windowManagerRunning = running; }

    // --- input: grabs are absent while refused; events reach the newest live grab that covers
    // them, which decides by its rule (Pass or Swallow, the handler hearing of what it takes),
    // or nothing when no grab covers them.
    void setRefuseGrabs(bool refuse) { m_grabs.setRefused(refuse); }
    std::optional<InputDecision> scroll(const ScrollInput& input) { return m_grabs.scroll(input); }
    std::optional<InputDecision> pressKey(const KeyStroke& input) {
        return m_grabs.pressKey(input);
    }
    int liveGrabs() const { return m_grabs.live(); }
    // Whether a scroll gesture of the newest scroll grab holds the pointer.
    bool scrollHeld() const { return m_grabs.scrollHeld(); }
    // Hot keys: a combination marked taken is held by another program; a press reaches the
    // newest live hot key of that combination (true) or none (false).
    void setHotKeyTaken(const KeyStroke& combination, bool taken) {
        m_hotKeys.setTaken(combination, taken);
    }
    bool pressHotKey(const KeyStroke& combination) { return m_hotKeys.press(combination); }
    int liveHotKeys() const { return m_hotKeys.live(); }
    // The shell's input: a click (where the pointer moves) reaches every live button watcher and
    // says how many; a key typed while the keyboard is held reaches the hold (false without one).
    int clickAt(QPointF location) {
        m_pointer = location;
        return m_buttonWatchers.click(location);
    }
    int liveButtonWatchers() const { return m_buttonWatchers.live(); }
    void setRefuseButtonWatch(bool refuse) { m_buttonWatchers.setRefused(refuse); }
    bool typeWhileHeld(const TypedKey& key) { return m_keyboardHold.type(key); }
    bool keyboardHeld() const { return m_keyboardHold.held(); }
    void setRefuseKeyboardHold(bool refuse) { m_keyboardHold.setRefused(refuse); }
    // Our own windows prepared as panels and activated, in the order asked.
    const QList<WindowId>& preparedWindows() const { return m_preparedWindows; }
    const QList<WindowId>& activatedWindows() const { return m_activatedWindows; }

    // --- what the logic did, across all windows
    int onScreenQueries() const { return m_onScreenQueries; }
    // Reads of the desktop as a whole rather than of one window: the running applications, an
    // application's windows, the active, focused or main window, whether a window is alive
    // (the client list, on X11), the on-screen list and the whole listing.
    int desktopReads() const { return m_desktopReads; }
    int windowReads() const;  // frame and property reads of all windows
    const QList<WindowId>& raiseLog() const { return m_raiseLog; }
    int openRequests(const QString& appId) const { return m_openRequests.value(appId); }

    // --- WindowSystem
    QList<RunningApplication> runningApplications() const override;
    bool canControlWindows(QString* reason = nullptr) const override;
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
    void setFrame(WindowId window, const WindowRect& frame) override;
    void setPosition(WindowId window, double x, double y) override;
    void raise(WindowId window) override;
    void setMinimized(WindowId window, bool minimized) override;
    void focus(const RunningApplication& app, WindowId window) override;
    bool isAlive(WindowId window) const override;
    bool isGone(WindowId window) const override;
    QList<OnScreenWindow> onScreenWindows() const override;
    std::optional<WindowListing> listWindows() const override;
    QList<Screen> screens() const override { return m_screens; }
    std::optional<QPointF> pointerLocation() const override { return m_pointer; }
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
    // The simulated window manager lets go of a hidden window at once.
    bool ownWindowWithdrawn(WindowId) override { return true; }
    void releaseOwnFocus(WindowId) override {}
    std::unique_ptr<InputGrab> holdKeyboard(std::function<void(const TypedKey&)> handler) override;

private:
    SimApp& createApp(const QString& id, const QString& name, bool running);
    void startInstance(SimApp& app);
    void beginStartup(SimApp& app);
    SimApp* findApp(const QString& id) const;
    // A live window the seam may read; counts the read.
    SimWindow* readableWindow(WindowId id, int SimWindow::*counter) const;
    SimWindow* liveWindow(WindowId id) const;
    std::optional<RunningApplication> runningInstance(const QString& appId) const;
    std::optional<QString> activeAppId() const;
    bool isOnCurrentDesktop(const SimWindow& window) const;  // and not minimized
    bool isOnDesktop(const SimWindow& window) const;         // minimized or not
    bool belongsTo(const SimWindow& window, const RunningApplication& app) const;
    WindowId createWindow(SimApp& app, const WindowRect& frame, SimWindowKind kind);
    void mapWindow(WindowId id);
    void applyFrame(WindowId id, const WindowRect& requested);
    WindowRect constrained(const SimWindow& window, const WindowRect& requested) const;
    // `frame` pulled back onto the screens, when the window manager keeps windows there.
    WindowRect keptOnScreen(const WindowRect& frame) const;
    void restackOnTop(WindowId id);
    void later(Clock::Duration delay, std::function<void()> action);

    Clock& m_clock;
    std::vector<std::unique_ptr<SimApp>> m_apps;
    mutable std::map<WindowId, SimWindow> m_windows;  // mutable: reads are counted
    QList<WindowId> m_clientOrder;                    // mapping order, as _NET_CLIENT_LIST
    QList<WindowId> m_stacking;                       // front to back
    std::optional<WindowId> m_active;
    QHash<WindowId, QList<std::function<void()>>> m_writeActions;
    QSet<Clock::TimerId> m_timers;
    QHash<QString, int> m_openRequests;
    QList<WindowId> m_raiseLog;
    QList<Screen> m_screens;
    std::optional<QPointF> m_pointer = QPointF(0, 0);
    QString m_unavailableReason;
    std::optional<double> m_keepOnScreen;
    bool m_windowManagerRunning = true;
    SimInputGrabs m_grabs;
    SimHotKeys m_hotKeys;
    SimButtonWatchers m_buttonWatchers;
    SimKeyboardHold m_keyboardHold;
    QList<WindowId> m_preparedWindows;
    QList<WindowId> m_activatedWindows;
    int m_currentDesktop = 0;
    WindowId m_lastWindowId = 0;
    qint64 m_lastPid = 1000;
    mutable int m_onScreenQueries = 0;
    mutable int m_desktopReads = 0;
};

}  // namespace tessora
