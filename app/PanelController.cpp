#include "app/PanelController.h"

#include "app/PanelGeometry.h"
#include "core/Task.h"
#include "launcher/PanelNotifier.h"
#include "workspace/WorkspaceModel.h"


namespace tessora {

PanelController::PanelController(WindowSystem& windows, Clock& clock, WorkspaceModel& model,
                                 PanelWindow& panel, PanelNotifier& notifier, Hooks hooks,
                                 qint64 ownPid, QObject* parent)
    : QObject(parent),
      windows_(windows),
      model_(model),
      panel_(panel),
      notifier_(notifier),
      hooks_(std::move(hooks)),
      ownPid_(ownPid),
      handover_(windows, clock) {
    panel_.setDidDismiss([this] { dismissed(); });
    panel_.setDidBecomeKey([this] { handover_.finish(); });
    connect(&windows_, &WindowSystem::activeWindowChanged, this,
            &PanelController::activeWindowChanged);
    connect(&windows_, &WindowSystem::currentDesktopChanged, this,
            &PanelController::desktopChanged);
}

PanelController::~PanelController() {
    panel_.setDidDismiss({});
    panel_.setDidBecomeKey({});
}

void PanelController::showPanel() {
    if (hooks_.launcherEnabled && !hooks_.launcherEnabled()) {
        return;
    }
    if (model_.showOnboarding()) {
        if (hooks_.openFirstRun) {
            hooks_.openFirstRun();
        }
        return;
    }
    if (!panel_.isPanelVisible() && observing_) {
        // What is typed until the panel has the focus goes to the panel, not to the
        // application the user came from. Taken first: every moment counts.
        handover_.begin([this](const QList<TypedKey>& keys) { panel_.deliverTypedKeys(keys); });
    }
    startDetached(model_.refreshApps());

    // Without screens the panel shows where it was last time.
    const QList<Screen> screens = windows_.screens();
    if (const std::optional<double> height = primaryHeight(screens)) {
        const std::optional<QPointF> pointer = windows_.pointerLocation();
        const Screen screen =
            (pointer ? screenContaining(screens, *pointer) : std::nullopt).value_or(screens.front());
        const ScreenRect visible = toScreenSpace(screen.visibleFrame, *height);
        panel_.setPanelFrame(panelFrameOn(visible, panel_.panelFrame().size()));
        if (model_.targetDisplayID() != screen.number) {
            model_.setTargetDisplayID(screen.number);
        }
    }

    // Taken before the panel takes the focus, which makes us the frontmost application. Shown
    // again straight after it was hidden, the panel may still be the active window (the window
    // manager hands the focus back asynchronously): the user still came from the application
    // recorded last time, whose activation on its way must not hide the panel.
    const std::optional<RunningApplication> front = windows_.frontmostApplication();
    if (!front || front->pid != ownPid_) {
        presentingAppPID_ =
            front && front->pid != 0 ? std::optional<qint64>(front->pid) : std::nullopt;
    }

    // Watching before the panel appears: a click the moment it is there must count.
    watchClicks();
    panel_.orderFront();

    // The view hears of it once the current event has been handled. A panel hidden again in
    // the meantime has already said "hidden", so it says nothing more.
    const quint64 period = period_;
    QMetaObject::invokeMethod(
        this,
        [this, period] {
            if (period == period_ && panel_.isPanelVisible()) {
                emit notifier_.casementPanelShown();
            }
        },
        Qt::QueuedConnection);
}

void PanelController::hidePanel() {
    panel_.orderOut();
}

void PanelController::togglePanel() {
    if (panel_.isPanelVisible()) {
        hidePanel();
    } else {
        showPanel();
    }
}

void PanelController::refocus() {
    if (!panel_.isPanelVisible()) {
        return;
    }
    panel_.orderFront();
    emit notifier_.casementPanelRefocus();
}

void PanelController::outsideClick(QPointF location) {
    // Clicks on our own windows are ours to handle, as the panel's own controls are.
    if (hooks_.ownWindowAt && hooks_.ownWindowAt(location)) {
        return;
    }
    if (nearTopOfScreen(windows_.screens(), location, clickTopStrip)) {
        return;
    }
    hidePanel();
}

void PanelController::activeWindowChanged() {
    const std::optional<RunningApplication> app = windows_.frontmostApplication();
    if (app && hooks_.activated) {
        hooks_.activated(*app);
    }
    applicationActivated(app);
}

void PanelController::applicationActivated(const std::optional<RunningApplication>& app) {
    if (!app || app->pid == ownPid_ || !app->regular) {
        return;
    }
    if (presentingAppPID_ && *presentingAppPID_ == app->pid) {
        return;  // back to where the user came from: the panel stays
    }
    if (const std::optional<QPointF> pointer = windows_.pointerLocation()) {
        if (nearTopOfScreen(windows_.screens(), *pointer, activationTopStrip)) {
            return;
        }
    }
    const std::optional<RunningApplication> front = windows_.frontmostApplication();
    if (front && front->pid == app->pid) {
        hidePanel();
    }
}

void PanelController::desktopChanged() {
    hidePanel();
    if (hooks_.syncStackIndicator) {
        hooks_.syncStackIndicator();
    }
}

void PanelController::stopObserving() {
    observing_ = false;
    disconnect(&windows_, nullptr, this, nullptr);
    stopWatchingClicks();
    handover_.cancel();
}

void PanelController::dismissed() {
    ++period_;
    stopWatchingClicks();
    handover_.cancel();
    model_.clearSelection();
    emit notifier_.casementPanelHidden();
}

// Clicks are watched only while the panel is visible: nothing wakes us for every click the
// user makes while the panel is away.
void PanelController::watchClicks() {
    if (clickWatch_ || !observing_) {
        return;
    }
    clickWatch_ = windows_.watchButtonPresses([this](QPointF location) {
        inClickHandler_ = true;
        outsideClick(location);
        inClickHandler_ = false;
    });
}

void PanelController::stopWatchingClicks() {
    if (!clickWatch_) {
        return;
    }
    if (inClickHandler_) {
        // The watch is calling us: let it go once its handler has returned.
        std::shared_ptr<InputGrab> retired(std::move(clickWatch_));
        QMetaObject::invokeMethod(this, [retired] {}, Qt::QueuedConnection);
        return;
    }
    clickWatch_.reset();
}

}  // namespace tessora
