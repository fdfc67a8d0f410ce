#include "platform/sim/SimWindowSystem.h"

#include "core/Sleep.h"
#include "core/Task.h"

#include <QLoggingCategory>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tessora {

namespace {
Q_LOGGING_CATEGORY(lcSimWindows, "tessora.sim.windows")
}  // namespace

SimWindowSystem::SimWindowSystem(Clock& clock, QObject* parent)
    : WindowSystem(parent), m_clock(clock), m_grabs(clock) {
    // One 1920x1080 monitor with a 32-point panel along its top.
    m_screens = {Screen{1, {0, 0, 1920, 1080}, {0, 32, 1920, 1048}}};
}

SimWindowSystem::~SimWindowSystem() {
    for (Clock::TimerId id : std::as_const(m_timers)) {
        m_clock.cancel(id);
    }
}

// --- scripting applications

SimApp& SimWindowSystem::createApp(const QString& id, const QString& name, bool running) {
    if (SimApp* existing = findApp(id)) {
        qCWarning(lcSimWindows) << "An application" << id << "was added twice; using the first";
        return *existing;
    }
    auto& app = *m_apps.emplace_back(std::make_unique<SimApp>());
    app.id = id;
    app.name = name;
    if (running) {
        startInstance(app);
    }
    return app;
}

SimApp& SimWindowSystem::addApp(const QString& id, const QString& name) {
    return createApp(id, name, true);
}

SimApp& SimWindowSystem::addInstalledApp(const QString& id, const QString& name) {
    return createApp(id, name, false);
}

SimApp& SimWindowSystem::app(const QString& id) {
    if (SimApp* found = findApp(id)) {
        return *found;
    }
    throw std::out_of_range("SimWindowSystem: no application " + id.toStdString());
}

void SimWindowSystem::startInstance(SimApp& app) {
    app.running = true;
    app.pid = ++m_lastPid;
}

void SimWindowSystem::beginStartup(SimApp& app) {
    app.starting = true;
    const int serial = ++app.startupSerial;
    later(kStartupPeriod, [&app, serial] {
        if (app.startupSerial == serial) {
            app.starting = false;
        }
    });
}

void SimWindowSystem::quit(SimApp& app) {
    for (auto& [id, window] : m_windows) {
        if (window.appId == app.id && window.alive) {
            closeWindow(id);
        }
    }
    app.running = false;
    app.starting = false;
    app.pid = 0;
}

void SimWindowSystem::opensWindowOnLaunch(SimApp& app, const WindowRect& frame,
                                          Clock::Duration delay) {
    app.windowsOnOpen.append({frame, delay, SimWindowKind::Normal});
}

void SimWindowSystem::overrideWindowList(SimApp& app, std::optional<QList<WindowId>> list) {
    app.listMode = list ? SimApp::ListMode::Fixed : SimApp::ListMode::Failing;
    app.fixedList = list.value_or(QList<WindowId>{});
}

void SimWindowSystem::restoreWindowList(SimApp& app) {
    app.listMode = SimApp::ListMode::Real;
    app.fixedList.clear();
}

SimApp* SimWindowSystem::findApp(const QString& id) const {
    for (const auto& app : m_apps) {
        if (app->id == id) {
            return app.get();
        }
    }
    return nullptr;
}

// --- scripting windows

WindowId SimWindowSystem::createWindow(SimApp& app, const WindowRect& frame, SimWindowKind kind) {
    if (!app.running) {
        startInstance(app);  // only running applications have windows
    }
    SimWindow window;
    window.id = ++m_lastWindowId;
    window.appId = app.id;
    window.frame = frame;
    window.kind = kind;
    window.desktop = m_currentDesktop;
    m_windows.emplace(window.id, window);
    return window.id;
}

void SimWindowSystem::mapWindow(WindowId id) {
    SimWindow& window = m_windows.at(id);
    if (!window.alive || window.mapped) {
        return;  // closed before it appeared
    }
    window.mapped = true;
    m_clientOrder.append(id);
    m_stacking.prepend(id);
    if (SimApp* app = findApp(window.appId)) {
        app->starting = false;  // its startup is complete
    }
}

WindowId SimWindowSystem::addWindow(SimApp& app, const WindowRect& frame, SimWindowKind kind) {
    const WindowId id = createWindow(app, frame, kind);
    mapWindow(id);
    return id;
}

WindowId SimWindowSystem::addWindowLater(SimApp& app, const WindowRect& frame,
                                         Clock::Duration delay, SimWindowKind kind) {
    const WindowId id = createWindow(app, frame, kind);
    later(delay, [this, id] { mapWindow(id); });
    return id;
}

SimWindow& SimWindowSystem::window(WindowId id) {
    return m_windows.at(id);
}

QList<WindowId> SimWindowSystem::windowsOf(const SimApp& app) const {
    QList<WindowId> result;
    for (WindowId id : m_clientOrder) {
        if (m_windows.at(id).appId == app.id) {
            result.append(id);
        }
    }
    return result;
}

void SimWindowSystem::closeWindow(WindowId id) {
    const auto it = m_windows.find(id);
    if (it == m_windows.end()) {
        qCWarning(lcSimWindows) << "No window" << id << "to close";
        return;
    }
    it->second.alive = false;
    m_clientOrder.removeAll(id);
    m_stacking.removeAll(id);
    m_writeActions.remove(id);
    if (m_active == id) {
        m_active.reset();
        emit activeWindowChanged();
    }
}

void SimWindowSystem::closeWindowLater(WindowId id, Clock::Duration delay) {
    later(delay, [this, id] { closeWindow(id); });
}

void SimWindowSystem::setMinimumSize(WindowId id, Size minimum) {
    window(id).minimumSize = minimum;
}

void SimWindowSystem::setSizeIncrements(WindowId id, Size increment, Size base) {
    window(id).sizeIncrement = increment;
    window(id).baseSize = base;
}

void SimWindowSystem::setSettleDelay(WindowId id, Clock::Duration delay) {
    window(id).settleDelay = delay;
}

void SimWindowSystem::setActiveWindow(std::optional<WindowId> id) {
    if (id) {
        restackOnTop(*id);
    }
    m_active = id;
    emit activeWindowChanged();
}

void SimWindowSystem::onNextWrite(WindowId id, std::function<void()> action) {
    m_writeActions[id].append(std::move(action));
}

// --- scripting the desktop

void SimWindowSystem::setCurrentDesktop(int desktop) {
    m_currentDesktop = desktop;
    emit currentDesktopChanged();
}

void SimWindowSystem::setScreens(QList<Screen> screens) {
    m_screens = std::move(screens);
    emit screensChanged();
}

// --- input

std::unique_ptr<InputGrab> SimWindowSystem::grabOptionScroll(
    ScrollGrabRule rule, std::function<void(const ScrollInput&)> handler) {
    return m_grabs.grabScroll(rule, std::move(handler));
}

std::unique_ptr<InputGrab> SimWindowSystem::grabCycleKeys(
    std::function<void(const KeyStroke&)> handler) {
    return m_grabs.grabKeys(std::move(handler));
}

// --- counters

int SimWindowSystem::windowReads() const {
    int reads = 0;
    for (const auto& [id, window] : m_windows) {
        reads += window.frameReads + window.propertyReads;
    }
    return reads;
}

// --- WindowSystem: applications

QList<RunningApplication> SimWindowSystem::runningApplications() const {
    ++m_desktopReads;
    QList<RunningApplication> result;
    for (const auto& app : m_apps) {
        if (app->running) {
            result.append(app->runningApplication());
        }
    }
    return result;
}

bool SimWindowSystem::canControlWindows(QString* reason) const {
    const QString why = !m_unavailableReason.isEmpty() || m_windowManagerRunning
                            ? m_unavailableReason
                            : QStringLiteral("No window manager is running.");
    if (reason) {
        *reason = why;
    }
    return why.isEmpty();
}

std::optional<RunningApplication> SimWindowSystem::runningApplication(const QString& appId) const {
    ++m_desktopReads;
    return runningInstance(appId);
}

std::optional<RunningApplication> SimWindowSystem::runningInstance(const QString& appId) const {
    const SimApp* app = findApp(appId);
    if (!app || !app->running) {
        return std::nullopt;
    }
    return app->runningApplication();
}

bool SimWindowSystem::isTerminated(const RunningApplication& running) const {
    ++m_desktopReads;
    const SimApp* app = findApp(running.id);
    return !app || !app->running || app->pid != running.pid;
}

Task<LaunchOutcome> SimWindowSystem::openApplication(InstalledApp installed, bool activates) {
    ++m_openRequests[installed.id];
    SimApp* app = findApp(installed.id);
    if (!app) {
        co_return LaunchOutcome{
            std::nullopt, QStringLiteral("No application “%1” is installed").arg(installed.id)};
    }
    ++app->openCalls;
    if (app->launchDelay > Clock::Duration::zero()) {
        co_await sleepFor(m_clock, app->launchDelay, {});
    }
    if (!app->launchError.isEmpty()) {
        co_return LaunchOutcome{std::nullopt, app->launchError};
    }
    if (app->running && app->starting) {
        // An earlier launch is still starting up: its windows are on their way, and a second
        // launch would only bring a second set.
        co_return LaunchOutcome{app->runningApplication(), {}};
    }
    // A running instance that shows windows is only activated; one without opens new ones.
    const bool opensWindows = !app->running || windowsOf(*app).isEmpty();
    if (!app->running) {
        startInstance(*app);
    }
    if (opensWindows) {
        ++app->launches;
        beginStartup(*app);
        for (const SimPlannedWindow& planned : std::as_const(app->windowsOnOpen)) {
            const WindowId id = createWindow(*app, planned.frame, planned.kind);
            later(planned.delay, [this, id] { mapWindow(id); });
        }
    }
    if (activates) {
        activate(app->runningApplication());
    }
    co_return LaunchOutcome{app->runningApplication(), {}};
}

void SimWindowSystem::activate(const RunningApplication& running) {
    SimApp* app = findApp(running.id);
    if (!app || !app->running) {
        return;
    }
    ++app->activations;
    for (WindowId id : std::as_const(m_stacking)) {
        if (m_windows.at(id).appId == app->id) {
            setActiveWindow(id);
            return;
        }
    }
}

std::optional<QString> SimWindowSystem::activeAppId() const {
    const SimWindow* active = m_active ? liveWindow(*m_active) : nullptr;
    return active ? std::optional(active->appId) : std::nullopt;
}

std::optional<QString> SimWindowSystem::frontmostApplicationId() const {
    ++m_desktopReads;
    return activeAppId();
}

std::optional<RunningApplication> SimWindowSystem::frontmostApplication() const {
    ++m_desktopReads;
    const std::optional<QString> id = activeAppId();
    return id ? runningInstance(*id) : std::nullopt;
}

// --- WindowSystem: windows of an application

std::optional<QList<WindowId>> SimWindowSystem::windows(const RunningApplication& running) const {
    ++m_desktopReads;
    SimApp* app = findApp(running.id);
    if (!app) {
        return std::nullopt;
    }
    ++app->windowListReads;
    switch (app->listMode) {
        case SimApp::ListMode::Failing:
            return std::nullopt;
        case SimApp::ListMode::Fixed:
            return app->fixedList;
        case SimApp::ListMode::Real:
            break;
    }
    return app->running ? windowsOf(*app) : QList<WindowId>{};
}

bool SimWindowSystem::belongsTo(const SimWindow& window, const RunningApplication& app) const {
    return window.appId == app.id;
}

std::optional<WindowId> SimWindowSystem::focusedWindow(const RunningApplication& app) const {
    ++m_desktopReads;
    if (m_active && liveWindow(*m_active) && belongsTo(m_windows.at(*m_active), app)) {
        return m_active;
    }
    return std::nullopt;
}

std::optional<WindowId> SimWindowSystem::mainWindow(const RunningApplication& app) const {
    ++m_desktopReads;
    for (WindowId id : m_stacking) {
        if (belongsTo(m_windows.at(id), app)) {
            return id;
        }
    }
    return std::nullopt;
}

// --- WindowSystem: one window

SimWindow* SimWindowSystem::liveWindow(WindowId id) const {
    const auto it = m_windows.find(id);
    if (it == m_windows.end() || !it->second.alive || !it->second.mapped) {
        return nullptr;
    }
    return &it->second;
}

SimWindow* SimWindowSystem::readableWindow(WindowId id, int SimWindow::*counter) const {
    const auto it = m_windows.find(id);
    if (it == m_windows.end()) {
        return nullptr;
    }
    ++(it->second.*counter);
    SimWindow* window = liveWindow(id);
    return window && window->readable ? window : nullptr;
}

std::optional<bool> SimWindowSystem::isStandardWindow(WindowId id) const {
    const SimWindow* window = readableWindow(id, &SimWindow::propertyReads);
    return window ? std::optional(window->kind == SimWindowKind::Normal) : std::nullopt;
}

std::optional<bool> SimWindowSystem::isMinimized(WindowId id) const {
    const SimWindow* window = readableWindow(id, &SimWindow::propertyReads);
    return window ? std::optional(window->minimized) : std::nullopt;
}

std::optional<bool> SimWindowSystem::isFullScreen(WindowId id) const {
    const SimWindow* window = readableWindow(id, &SimWindow::propertyReads);
    return window ? std::optional(window->fullScreen) : std::nullopt;
}

std::optional<WindowRect> SimWindowSystem::frame(WindowId id) const {
    const SimWindow* window = readableWindow(id, &SimWindow::frameReads);
    return window ? std::optional(window->frame) : std::nullopt;
}

void SimWindowSystem::applyFrame(WindowId id, const WindowRect& requested) {
    if (SimWindow* window = liveWindow(id); window && !window->staysPut) {
        window->fullScreen = false;
        window->maximized = false;
        window->frame = keptOnScreen(constrained(*window, requested));
    }
}

void SimWindowSystem::setFrame(WindowId id, const WindowRect& requested) {
    SimWindow* window = liveWindow(id);
    if (!window) {
        return;
    }
    ++window->frameWrites;
    window->requestedFrames.append(requested);
    if (window->settleDelay > Clock::Duration::zero()) {
        later(window->settleDelay, [this, id, requested] { applyFrame(id, requested); });
    } else {
        applyFrame(id, requested);
    }
    const auto actions = m_writeActions.take(id);
    for (const auto& action : actions) {
        action();
    }
}

void SimWindowSystem::setPosition(WindowId id, double x, double y) {
    SimWindow* window = liveWindow(id);
    if (!window) {
        return;
    }
    ++window->positionWrites;
    auto move = [this, id, x, y] {
        if (SimWindow* w = liveWindow(id); w && !w->staysPut) {
            w->fullScreen = false;
            w->maximized = false;
            w->frame = keptOnScreen({x, y, w->frame.width, w->frame.height});
        }
    };
    if (window->settleDelay > Clock::Duration::zero()) {
        later(window->settleDelay, move);
    } else {
        move();
    }
}

void SimWindowSystem::restackOnTop(WindowId id) {
    if (m_stacking.removeAll(id) > 0) {
        m_stacking.prepend(id);
    }
}

void SimWindowSystem::raise(WindowId id) {
    SimWindow* window = liveWindow(id);
    if (!window) {
        return;
    }
    ++window->raises;
    m_raiseLog.append(id);
    restackOnTop(id);
}

void SimWindowSystem::focus(const RunningApplication& running, WindowId id) {
    SimApp* app = findApp(running.id);
    SimWindow* window = liveWindow(id);
    if (!app || !window || window->appId != app->id) {
        return;
    }
    ++app->activations;
    ++window->focuses;
    setActiveWindow(id);
}

bool SimWindowSystem::isAlive(WindowId id) const {
    ++m_desktopReads;
    return m_windowManagerRunning && liveWindow(id) != nullptr;
}

bool SimWindowSystem::isGone(WindowId id) const {
    const auto it = m_windows.find(id);
    return it == m_windows.end() || !it->second.alive;
}

// --- WindowSystem: the desktop

bool SimWindowSystem::isOnCurrentDesktop(const SimWindow& window) const {
    return !window.minimized && isOnDesktop(window);
}

bool SimWindowSystem::isOnDesktop(const SimWindow& window) const {
    return window.desktop == m_currentDesktop || window.desktop == SimWindow::kAllDesktops;
}

QList<OnScreenWindow> SimWindowSystem::onScreenWindows() const {
    ++m_onScreenQueries;
    ++m_desktopReads;
    QList<OnScreenWindow> result;
    for (WindowId id : m_stacking) {
        const SimWindow& window = m_windows.at(id);
        if (!isOnCurrentDesktop(window)) {
            continue;
        }
        const SimApp* app = findApp(window.appId);
        OnScreenWindow entry;
        entry.window = id;
        entry.pid = window.listsPid && app ? app->pid : 0;
        entry.appId = window.matchedToApp ? window.appId : QString();
        entry.normalLayer = window.kind != SimWindowKind::Dock;
        entry.frame = window.listedFrame.value_or(window.frame);
        result.append(entry);
    }
    return result;
}

std::optional<WindowListing> SimWindowSystem::listWindows() const {
    ++m_desktopReads;
    WindowListing listing;
    if (!m_windowManagerRunning) {
        return listing;  // as a window manager leaves its lists on the way out: empty
    }
    for (WindowId id : m_stacking) {
        const SimWindow& window = m_windows.at(id);
        const SimApp* app = findApp(window.appId);
        ListedWindow listed;
        listed.window = id;
        listed.pid = window.listsPid && app ? app->pid : 0;
        listed.appId = window.matchedToApp ? window.appId : QString();
        listed.onScreen = isOnCurrentDesktop(window);
        listed.onCurrentDesktop = isOnDesktop(window);
        listed.minimized = window.minimized;
        listed.normalLayer = window.kind != SimWindowKind::Dock;
        listed.frame = window.listedFrame.value_or(window.frame);
        listing.windows.append(listed);
    }
    if (m_active && liveWindow(*m_active)) {
        listing.active = m_active;
    }
    return listing;
}

// --- timers

void SimWindowSystem::later(Clock::Duration delay, std::function<void()> action) {
    if (delay <= Clock::Duration::zero()) {
        action();
        return;
    }
    auto id = std::make_shared<Clock::TimerId>(0);
    *id = m_clock.schedule(delay, [this, id, action = std::move(action)] {
        m_timers.remove(*id);
        action();
    });
    m_timers.insert(*id);
}

}  // namespace tessora
