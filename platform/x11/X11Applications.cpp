#include "core/Task.h"
#include "platform/x11/EntryLauncher.h"
#include "platform/x11/ProcessInfo.h"
#include "platform/x11/StartupNotification.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Log.h"
#include "platform/x11/X11WindowSystem.h"

#include <QCoreApplication>
#include <algorithm>

// The applications of the X11 backend: running ones as found from their windows, launches
// through GIO with startup notification.
namespace tessora {

using namespace x11;

// --- applications

QList<RunningApplication> X11WindowSystem::runningApplications() const {
    // Some window managers leave the client list unset while they manage no window; the
    // launches of ours still run then.
    const QList<Client> all = clients(kKind, false).value_or(QList<Client>{});
    noteShownLaunches(all);
    QList<RunningApplication> apps;
    QHash<QString, qsizetype> index;
    for (const Client& client : all) {
        if (client.app.id.isEmpty()) {
            continue;
        }
        const bool regular = isNormalLayer(client.facts);
        const auto it = index.constFind(client.app.id);
        if (it != index.constEnd()) {
            apps[*it].regular = apps[*it].regular || regular;
            continue;
        }
        RunningApplication app;
        app.id = client.app.id;
        app.name = client.app.name;
        app.location = client.app.location;
        app.regular = regular;
        app.pid = client.facts.pid.value_or(0);
        if (client.facts.pid) {
            if (const auto started = processStartTime(*client.facts.pid)) {
                app.launchTime = *started;
            }
        }
        index.insert(app.id, apps.size());
        apps.append(app);
    }
    // A launch still starting up runs: its process exists, its window is on its way.
    for (const Launch& launch : std::as_const(m_launches)) {
        if (!index.contains(launch.app.id) && startingLaunch(launch.app.id) == &launch) {
            index.insert(launch.app.id, apps.size());
            apps.append(launch.app);
        }
    }
    return apps;
}

const X11WindowSystem::Launch* X11WindowSystem::startingLaunch(const QString& appId) const {
    const Clock::TimePoint now = m_clock.now();
    // The latest launch of the application decides.
    for (auto it = m_launches.crbegin(); it != m_launches.crend(); ++it) {
        if (it->app.id == appId) {
            return !it->shown && now < it->until ? &*it : nullptr;
        }
    }
    return nullptr;
}

void X11WindowSystem::noteShownLaunches(const QList<Client>& clients) const {
    for (Launch& launch : m_launches) {
        if (!launch.shown && std::any_of(clients.begin(), clients.end(), [&](const Client& c) {
                return c.app.id == launch.app.id;
            })) {
            launch.shown = true;
        }
    }
}

std::optional<RunningApplication> X11WindowSystem::runningApplication(const QString& appId) const {
    for (const RunningApplication& app : runningApplications()) {
        if (app.id == appId) {
            return app;
        }
    }
    return std::nullopt;
}

bool X11WindowSystem::isTerminated(const RunningApplication& app) const {
    if (app.pid > 0 && processIsAlive(app.pid)) {
        return false;
    }
    const Clock::TimePoint now = m_clock.now();
    for (const Launch& launch : m_launches) {
        if (launch.app.id == app.id && now < launch.until) {
            return false;
        }
    }
    const std::optional<QList<Client>> all = clients(0, false);
    return !all || std::none_of(all->begin(), all->end(),
                                [&](const Client& c) { return c.app.id == app.id; });
}

Task<LaunchOutcome> X11WindowSystem::openApplication(InstalledApp app, bool activate) {
    const std::optional<RunningApplication> running = runningApplication(app.id);
    if (running) {
        const std::optional<QList<WindowId>> open = windows(*running);
        if (open && !open->isEmpty()) {
            if (activate) {
                this->activate(*running);
            }
            co_return LaunchOutcome{running, {}};
        }
    }
    if (const Launch* starting = startingLaunch(app.id)) {
        // Launched and not shown yet: a second launch would only bring a second window once
        // both have started.
        co_return LaunchOutcome{starting->app, {}};
    }
    if (!app.url.endsWith(QLatin1String(".desktop"))) {
        co_return LaunchOutcome{std::nullopt,
                                QStringLiteral("%1 has no desktop entry to launch.").arg(app.name)};
    }
    // Without a window manager it still launches; on a display that is gone it cannot.
    QString unavailable;
    if (m_connection->broken() && !canControlWindows(&unavailable)) {
        co_return LaunchOutcome{std::nullopt, unavailable};
    }

    // A launch at time 0 tells the window manager not to give the new window the focus.
    const xcb_timestamp_t time = activate ? m_connection->serverTime() : 0;
    const QByteArray startupId =
        makeStartupId(QCoreApplication::applicationPid(), ++m_launchSerial, time);
    const QList<std::pair<QByteArray, QString>> keys = {
        {"ID", QString::fromLatin1(startupId)},
        {"NAME", app.name},
        {"SCREEN", QString::number(m_connection->screenNumber())},
        {"TIMESTAMP", QString::number(time)},
    };
    sendStartupMessage(*m_connection, startupMessage("new", keys));

    const EntryLaunch launched =
        m_launcher->launch(app.url, m_connection->displayName(), startupId);
    if (!launched.launched) {
        endStartup(startupId);
        qCWarning(lcX11).noquote() << launched.error;
        co_return LaunchOutcome{std::nullopt, launched.error};
    }

    RunningApplication result;
    result.id = app.id;
    result.name = app.name;
    result.location = app.url;
    result.pid = launched.pid;
    if (launched.pid > 0) {
        if (const auto started = processStartTime(launched.pid)) {
            result.launchTime = *started;
        }
    }

    Launch launch;
    launch.app = result;
    launch.until = m_clock.now() + m_options.startupWindow;
    launch.endTimer =
        m_clock.schedule(m_options.startupWindow, [this, startupId] { endStartup(startupId); });
    m_launches.removeIf([now = m_clock.now()](const Launch& l) { return l.until <= now; });
    m_launches.append(launch);
    co_return LaunchOutcome{result, {}};
}

void X11WindowSystem::endStartup(const QByteArray& startupId) {
    sendStartupMessage(*m_connection,
                       startupMessage("remove", {{"ID", QString::fromLatin1(startupId)}}));
}

void X11WindowSystem::activate(const RunningApplication& app) {
    if (const std::optional<WindowId> main = mainWindow(app)) {
        focus(app, *main);
    }
}

std::optional<QString> X11WindowSystem::frontmostApplicationId() const {
    const std::optional<WindowFacts> active = activeWindowFacts();
    if (!active) {
        return std::nullopt;
    }
    const ApplicationMatch app = applicationOf(*active);
    return app.id.isEmpty() ? std::nullopt : std::optional<QString>(app.id);
}

std::optional<RunningApplication> X11WindowSystem::frontmostApplication() const {
    // Only the active window is read: the launcher asks this on its way to the screen.
    const std::optional<WindowFacts> active = activeWindowFacts();
    if (!active) {
        return std::nullopt;
    }
    const ApplicationMatch match = applicationOf(*active);
    if (match.id.isEmpty()) {
        return std::nullopt;
    }
    return RunningApplication{match.id, match.name,   match.location,
                              true,     std::nullopt, active->pid.value_or(0)};
}

}  // namespace tessora
