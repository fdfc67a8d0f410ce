#pragma once

#include "app/KeyboardHandover.h"
#include "app/PanelWindow.h"
#include "platform/WindowSystem.h"

#include <QObject>
#include <QPointF>
#include <functional>
#include <memory>
#include <optional>

namespace tessora {

class PanelNotifier;
class WorkspaceModel;

// When the launcher panel shows and hides: the show, hide and toggle operations with their
// guards and placement, and the rules that hide the panel again (a click outside it, another
// application becoming active, a desktop change). Plain logic over the window system, the model
// and a PanelWindow, so that it runs on the simulated desktop without rendering.
// Main thread only.
class PanelController final : public QObject {
    Q_OBJECT

public:
    // Clicks this close to the top of a screen (the tray and the top panel) leave the panel open.
    static constexpr double clickTopStrip = 42;
    // Activations while the pointer is this close to the top of a screen leave it open too.
    static constexpr double activationTopStrip = 96;
    // How long a show waits at most for the window system to finish hiding the panel.
    static constexpr Clock::Duration showAgainLimit = std::chrono::milliseconds(250);

    struct Hooks {
        // The "Enable Tessora" switch; while it is off the panel does not show.
        std::function<bool()> launcherEnabled;
        // Opens the settings window on its first page (the first-run flow lives there).
        std::function<void()> openFirstRun;
        // Re-checks the window stack indicator, if one is shown.
        std::function<void()> syncStackIndicator;
        // Whether a point (window space) lies on one of our own windows.
        std::function<bool(QPointF)> ownWindowAt;
        // Runs first on every change of the active application (the recent history).
        std::function<void(const RunningApplication&)> activated;
    };

    // `ownPid` is this process's id: our own windows becoming active change nothing.
    PanelController(WindowSystem& windows, Clock& clock, WorkspaceModel& model, PanelWindow& panel,
                    PanelNotifier& notifier, Hooks hooks, qint64 ownPid, QObject* parent = nullptr);
    ~PanelController() override;

    // Positions the panel on the screen under the pointer and shows it with the focus, unless
    // the launcher is switched off; during the first run the first-run flow opens instead.
    void showPanel();
    void hidePanel();
    void togglePanel();
    // The tray menu closed: a visible panel takes the focus back.
    void refocus();

    // The rules, as their events arrive (public for tests).
    void outsideClick(QPointF location);
    void applicationActivated(const std::optional<RunningApplication>& app);
    void desktopChanged();

    // Disconnects from the window system's notifications and stops watching clicks.
    void stopObserving();

    // The application that was frontmost when the panel was last shown.
    std::optional<qint64> presentingAppPID() const { return m_presentingAppPID; }
    bool watchingClicks() const { return m_clickWatch != nullptr; }
    // Whether keys typed now are kept for the panel, which is on its way.
    bool holdingKeys() const { return m_handover.holding(); }
    // Whether a show waits for the panel's hiding to finish.
    bool showWaiting() const { return m_showWaiting; }

private:
    void present();
    void waitToShow();
    void stopWaitingToShow();
    void showAfterWaiting();
    void activeWindowChanged();
    void dismissed();
    void watchClicks();
    void stopWatchingClicks();

    WindowSystem& m_windows;
    Clock& m_clock;
    WorkspaceModel& m_model;
    PanelWindow& m_panel;
    PanelNotifier& m_notifier;
    Hooks m_hooks;
    qint64 m_ownPid;
    std::optional<qint64> m_presentingAppPID;
    // Counts the panel's visible periods: a "shown" notice still queued when its period ended
    // is dropped.
    quint64 m_period = 0;
    KeyboardHandover m_handover;
    std::unique_ptr<InputGrab> m_clickWatch;
    bool m_inClickHandler = false;
    bool m_showWaiting = false;
    Clock::TimerId m_showLimit = 0;
    bool m_observing = true;
};

}  // namespace tessora
