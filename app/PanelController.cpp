#include "app/PanelController.h"

#include "app/PanelGeometry.h"
#include "core/FreedMemory.h"
#include "core/Task.h"
#include "launcher/PanelNotifier.h"
#include "workspace/WorkspaceModel.h"

namespace tessora {

PanelController::PanelController(WindowSystem& windows, Clock& clock, WorkspaceModel& model,
                                 PanelWindow& panel, PanelNotifier& notifier, Hooks hooks,
                                 qint64 ownPid, QObject* parent)
    : QObject(parent),
      m_windows(windows),
      m_clock(clock),
      m_model(model),
      m_panel(panel),
      m_notifier(notifier),
      m_hooks(std::move(hooks)),
      m_ownPid(ownPid),
      m_handover(windows, clock) {
    m_panel.setDidDismiss([this] { dismissed(); });
    m_panel.setDidBecomeKey([this] { m_handover.finish(); });
    m_panel.setDidBecomeShowable([this] {
        if (m_showWaiting && m_panel.canShowAgain()) {
            showAfterWaiting();
        }
    });
    connect(&m_windows, &WindowSystem::activeWindowChanged, this,
            &PanelController::activeWindowChanged);
    connect(&m_windows, &WindowSystem::currentDesktopChanged, this,
            &PanelController::desktopChanged);
}

PanelController::~PanelController() {
    m_panel.setDidDismiss({});
    m_panel.setDidBecomeKey({});
    m_panel.setDidBecomeShowable({});
    m_clock.cancel(m_showLimit);
}

void PanelController::showPanel() {
    if (m_hooks.launcherEnabled && !m_hooks.launcherEnabled()) {
        return;
    }
    if (m_model.showOnboarding()) {
        if (m_hooks.openFirstRun) {
            m_hooks.openFirstRun();
        }
        return;
    }
    if (!m_panel.isPanelVisible() && m_observing) {
        // What is typed until the panel has the focus goes to the panel, not to the
        // application the user came from. Taken first: every moment counts.
        m_handover.begin([this](const QList<TypedKey>& keys) { m_panel.deliverTypedKeys(keys); });
    }
    if (m_showWaiting) {
        return;
    }
    if (!m_panel.isPanelVisible() && !m_panel.canShowAgain()) {
        waitToShow();
        return;
    }
    present();
}

// Shown again straight after it was hidden, the panel waits (briefly) until the hiding is done.
void PanelController::waitToShow() {
    m_showWaiting = true;
    m_showLimit = m_clock.schedule(showAgainLimit, [this] {
        m_showLimit = 0;
        showAfterWaiting();
    });
}

void PanelController::showAfterWaiting() {
    stopWaitingToShow();
    present();
}

void PanelController::stopWaitingToShow() {
    m_showWaiting = false;
    m_clock.cancel(m_showLimit);
    m_showLimit = 0;
}

void PanelController::present() {
    startDetached(m_model.refreshApps());

    // Without screens the panel shows where it was last time.
    const QList<Screen> screens = m_windows.screens();
    const std::optional<Screen> screen = screenAt(screens, m_windows.pointerLocation());
    if (const std::optional<double> height = primaryHeight(screens); screen && height) {
        const ScreenRect visible = toScreenSpace(screen->visibleFrame, *height);
        m_panel.setPanelFrame(panelFrameOn(visible, m_panel.panelFrame().size()));
        if (m_model.targetDisplayID() != screen->number) {
            m_model.setTargetDisplayID(screen->number);
        }
    }

    // Taken before the panel takes the focus, which makes us the frontmost application. Shown
    // again straight after it was hidden, the panel may still be the active window (the window
    // manager hands the focus back asynchronously): the user still came from the application
    // recorded last time, whose activation on its way must not hide the panel.
    const std::optional<RunningApplication> front = m_windows.frontmostApplication();
    if (!front || front->pid != m_ownPid) {
        m_presentingAppPID =
            front && front->pid != 0 ? std::optional<qint64>(front->pid) : std::nullopt;
    }

    // Watching before the panel appears: a click the moment it is there must count.
    watchClicks();
    m_panel.orderFront();

    // The view hears of it once the current event has been handled. A panel hidden again in
    // the meantime has already said "hidden", so it says nothing more.
    const quint64 period = m_period;
    QMetaObject::invokeMethod(
        this,
        [this, period] {
            if (period == m_period && m_panel.isPanelVisible()) {
                emit m_notifier.casementPanelShown();
            }
        },
        Qt::QueuedConnection);
}

void PanelController::hidePanel() {
    if (m_showWaiting) {
        stopWaitingToShow();
        m_handover.cancel();
    }
    m_panel.orderOut();
}

void PanelController::togglePanel() {
    if (m_panel.isPanelVisible() || m_showWaiting) {
        hidePanel();
    } else {
        showPanel();
    }
}

void PanelController::refocus() {
    if (!m_panel.isPanelVisible()) {
        return;
    }
    m_panel.orderFront();
    emit m_notifier.casementPanelRefocus();
}

void PanelController::outsideClick(QPointF location) {
    // Clicks on our own windows are ours to handle, as the panel's own controls are.
    if (m_hooks.ownWindowAt && m_hooks.ownWindowAt(location)) {
        return;
    }
    if (nearTopOfScreen(m_windows.screens(), location, clickTopStrip)) {
        return;
    }
    hidePanel();
}

void PanelController::activeWindowChanged() {
    const std::optional<RunningApplication> app = m_windows.frontmostApplication();
    if (app && m_hooks.activated) {
        m_hooks.activated(*app);
    }
    applicationActivated(app);
}

void PanelController::applicationActivated(const std::optional<RunningApplication>& app) {
    if (!app || app->pid == m_ownPid || !app->regular) {
        return;
    }
    if (m_presentingAppPID && *m_presentingAppPID == app->pid) {
        return;  // back to where the user came from: the panel stays
    }
    if (const std::optional<QPointF> pointer = m_windows.pointerLocation()) {
        if (nearTopOfScreen(m_windows.screens(), *pointer, activationTopStrip)) {
            return;
        }
    }
    const std::optional<RunningApplication> front = m_windows.frontmostApplication();
    if (front && front->pid == app->pid) {
        hidePanel();
    }
}

void PanelController::desktopChanged() {
    hidePanel();
    if (m_hooks.syncStackIndicator) {
        m_hooks.syncStackIndicator();
    }
}

void PanelController::stopObserving() {
    m_observing = false;
    disconnect(&m_windows, nullptr, this, nullptr);
    stopWatchingClicks();
    stopWaitingToShow();
    m_handover.cancel();
}

void PanelController::dismissed() {
    ++m_period;
    stopWatchingClicks();
    m_handover.cancel();
    m_model.clearSelection();
    emit m_notifier.casementPanelHidden();
    // What the showing built (layouts, ranked lists, text) is freed by now; the heap pages it
    // took go back once the hiding has been handled, away from any hot path.
    QMetaObject::invokeMethod(
        this, [] { releaseFreedMemory(); }, Qt::QueuedConnection);
}

// Clicks are watched only while the panel is visible: nothing wakes us for every click the
// user makes while the panel is away.
void PanelController::watchClicks() {
    if (m_clickWatch || !m_observing) {
        return;
    }
    m_clickWatch = m_windows.watchButtonPresses([this](QPointF location) {
        m_inClickHandler = true;
        outsideClick(location);
        m_inClickHandler = false;
    });
}

void PanelController::stopWatchingClicks() {
    if (!m_clickWatch) {
        return;
    }
    if (m_inClickHandler) {
        // The watch is calling us: let it go once its handler has returned.
        std::shared_ptr<InputGrab> retired(std::move(m_clickWatch));
        QMetaObject::invokeMethod(
            this, [retired] {}, Qt::QueuedConnection);
        return;
    }
    m_clickWatch.reset();
}

}  // namespace tessora
