#include "workspace/WorkspaceModel.h"

#include "core/BackgroundWork.h"
#include "core/Task.h"
#include "workspace/SettingsKeys.h"
#include "workspace/SettingsMigration.h"

#include <algorithm>

namespace tessora {

namespace {

// Assigns `value` to `field` and emits `changed` only when they differ.
template <typename T, typename Signal>
void assign(WorkspaceModel* model, T& field, const T& value, Signal changed) {
    if (field == value) {
        return;
    }
    field = value;
    emit(model->*changed)();
}

}  // namespace

WorkspaceModel::WorkspaceModel(DefaultsStore& defaults, WorkspaceServices services, QObject* parent)
    : QObject(parent), m_defaults(defaults), m_services(std::move(services)) {
    if (m_defaults.isStandard()) {
        migrateEarlierEditions(m_defaults, DefaultsStore::previousEditionDomains(),
                               m_services.openPreviousEdition);
    }
    m_recentIDs = m_defaults.textListValue(keys::recentActivatedApps).value_or(QStringList());
    m_showOnboarding = m_defaults.integerValue(keys::onboardingVersion).value_or(0) < 1;
}

WorkspaceModel::~WorkspaceModel() {
    *m_alive = false;
    m_stopScans.request_stop();
}

void WorkspaceModel::setApps(const InstalledApps& apps) {
    // Records are equal by id; a list that differs only in names still replaces the old one
    // (and its search data), but tells no one.
    const bool changed = m_apps != apps;
    m_apps = apps;
    m_searchIndex = AppSearchIndex(m_apps);
    refreshResults();
    if (changed) {
        emit appsChanged();
    }
}

void WorkspaceModel::setSelected(const InstalledApps& selected) {
    assign(this, m_selected, selected, &WorkspaceModel::selectedChanged);
}

void WorkspaceModel::setRecentIDs(const QStringList& ids) {
    assign(this, m_recentIDs, ids, &WorkspaceModel::recentIDsChanged);
}

void WorkspaceModel::setShowOnboarding(bool show) {
    assign(this, m_showOnboarding, show, &WorkspaceModel::showOnboardingChanged);
}

void WorkspaceModel::setOnboardingStep(int step) {
    assign(this, m_onboardingStep, step, &WorkspaceModel::onboardingStepChanged);
}

void WorkspaceModel::setVerifiedKeys(const QSet<int>& keys) {
    assign(this, m_verifiedKeys, keys, &WorkspaceModel::verifiedKeysChanged);
}

void WorkspaceModel::insertVerifiedKey(int key) {
    QSet<int> keys = m_verifiedKeys;
    keys.insert(key);
    setVerifiedKeys(keys);
}

void WorkspaceModel::setQuery(const QString& query) {
    if (query == m_query) {
        return;
    }
    m_query = query;
    // Observers of the query see the results and the highlight that go with it.
    refreshResults();
    setHighlighted(m_query.isEmpty() ? -1 : 0);
    emit queryChanged();
}

void WorkspaceModel::setHighlighted(int index) {
    assign(this, m_highlighted, index, &WorkspaceModel::highlightedChanged);
}

void WorkspaceModel::setLayoutID(const QString& id) {
    assign(this, m_layoutID, id, &WorkspaceModel::layoutIDChanged);
}

void WorkspaceModel::setScanning(bool scanning) {
    assign(this, m_scanning, scanning, &WorkspaceModel::scanningChanged);
}

void WorkspaceModel::setBusy(bool busy) {
    assign(this, m_busy, busy, &WorkspaceModel::busyChanged);
}

void WorkspaceModel::setTargetDisplayID(std::optional<quint32> display) {
    assign(this, m_targetDisplayID, display, &WorkspaceModel::targetDisplayIDChanged);
}

QSet<QString> WorkspaceModel::runningIds() const {
    QSet<QString> ids;
    for (const RunningApplication& app : m_services.windows.runningApplications()) {
        if (!app.id.isEmpty()) {
            ids.insert(app.id);
        }
    }
    return ids;
}

void WorkspaceModel::refreshResults() {
    InstalledApps ranked = rankedFor(m_query);
    // Records compare by id; a renamed application must be drawn anew all the same.
    const bool same = std::equal(ranked.begin(), ranked.end(), m_results.begin(), m_results.end(),
                                 [](const InstalledApp& a, const InstalledApp& b) {
                                     return a.id == b.id && a.name == b.name && a.url == b.url;
                                 });
    if (!same) {
        m_results = std::move(ranked);
        emit resultsChanged();
    }
}

InstalledApps WorkspaceModel::rankedFor(const QString& query, std::stop_token stop) const {
    const auto order = m_searchIndex.rank(
        query, [this] { return runningIds(); }, stop);
    InstalledApps ranked;
    ranked.reserve(static_cast<qsizetype>(order.size()));
    for (const qsizetype index : order) {
        ranked.append(m_apps[index]);
    }
    return ranked;
}

InstalledApps WorkspaceModel::recentApps() const {
    InstalledApps recent;
    for (const QString& id : m_recentIDs) {
        const auto app = std::find_if(m_apps.begin(), m_apps.end(),
                                      [&](const InstalledApp& a) { return a.id == id; });
        if (app != m_apps.end()) {
            recent.append(*app);
            if (recent.size() == recentAppsShown) {
                break;
            }
        }
    }
    return recent;
}

std::optional<qsizetype> WorkspaceModel::selectionPosition(const InstalledApp& app,
                                                           const InstalledApps& list) {
    const qsizetype at = list.indexOf(app);
    return at < 0 ? std::nullopt : std::optional<qsizetype>(at);
}

void WorkspaceModel::toggle(const InstalledApp& app) {
    InstalledApps selection = m_selected;
    if (const auto at = selectionPosition(app, selection)) {
        selection.removeAt(*at);
        setSelected(selection);
    } else {
        selection.append(app);
        setSelected(selection);
        setQuery(QString());
    }
    setHighlighted(-1);
}

void WorkspaceModel::clearSelection() {
    setSelected({});
    setQuery(QString());
    setLayoutID(QString());
    setHighlighted(-1);
    setTargetDisplayID(std::nullopt);
}

void WorkspaceModel::recordActivation(const QString& id) {
    QStringList recent = m_recentIDs;
    recent.removeAll(id);
    recent.prepend(id);
    if (recent.size() > recentLimit) {
        recent.resize(recentLimit);
    }
    setRecentIDs(recent);
    m_defaults.setTextList(keys::recentActivatedApps, m_recentIDs);
}

Task<void> WorkspaceModel::refreshApps() {
    if (m_scanInProgress) {
        co_return;
    }
    m_scanInProgress = true;
    setScanning(m_apps.isEmpty());

    // The folders are walked and read off the main thread, once. An application installed
    // since the last scan: its windows must be known by its entry before the running
    // applications are listed, or it would be listed a second time under its window class.
    const std::shared_ptr<bool> alive = m_alive;
    FolderScan scan = co_await runInBackground(m_services.background, &scanApplicationFolders,
                                               m_services.catalog, m_stopScans.get_token());
    if (!*alive) {
        co_return;  // the model went away while the folders were walked
    }
    m_services.windows.setDesktopEntries(scan.files);
    QList<RunningApplication> running;
    for (const RunningApplication& app : m_services.windows.runningApplications()) {
        if (app.regular) {
            running.append(app);
        }
    }
    InstalledApps catalog =
        co_await runInBackground(m_services.background, &completeCatalog, std::move(scan.found),
                                 m_services.catalog, running, m_stopScans.get_token());
    if (!*alive) {
        co_return;
    }
    setApps(catalog);
    if (m_recentIDs.isEmpty()) {
        seedRecentHistory();
    }
    m_scanInProgress = false;
    setScanning(false);
}

void WorkspaceModel::seedRecentHistory() {
    QList<RunningApplication> running;
    for (const RunningApplication& app : m_services.windows.runningApplications()) {
        if (app.regular) {
            running.append(app);
        }
    }
    // Oldest first, so that the most recently launched application ends up at the front; an
    // unknown launch time counts as the distant past.
    std::stable_sort(running.begin(), running.end(),
                     [](const RunningApplication& a, const RunningApplication& b) {
                         return a.launchTime.value_or(std::chrono::milliseconds::min()) <
                                b.launchTime.value_or(std::chrono::milliseconds::min());
                     });
    for (const RunningApplication& app : running) {
        const bool listed = std::any_of(m_apps.begin(), m_apps.end(),
                                        [&](const InstalledApp& a) { return a.id == app.id; });
        if (listed) {
            recordActivation(app.id);
        }
    }
}

}  // namespace tessora
