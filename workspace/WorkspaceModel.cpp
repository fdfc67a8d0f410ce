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

WorkspaceModel::WorkspaceModel(DefaultsStore& defaults, WorkspaceServices services,
                               QObject* parent)
    : QObject(parent), defaults_(defaults), services_(std::move(services)) {
    if (defaults_.isStandard()) {
        migrateEarlierEditions(defaults_, DefaultsStore::previousEditionDomains(),
                               services_.openPreviousEdition);
    }
    recentIDs_ = defaults_.textListValue(keys::recentActivatedApps).value_or(QStringList());
    showOnboarding_ = defaults_.integerValue(keys::onboardingVersion).value_or(0) < 1;
}

WorkspaceModel::~WorkspaceModel() {
    *alive_ = false;
    stopScans_.request_stop();
}

void WorkspaceModel::setApps(const InstalledApps& apps) {
    // Records are equal by id; a list that differs only in names still replaces the old one
    // (and its search data), but tells no one.
    const bool changed = apps_ != apps;
    apps_ = apps;
    searchIndex_ = AppSearchIndex(apps_);
    if (changed) {
        emit appsChanged();
    }
}

void WorkspaceModel::setSelected(const InstalledApps& selected) {
    assign(this, selected_, selected, &WorkspaceModel::selectedChanged);
}

void WorkspaceModel::setRecentIDs(const QStringList& ids) {
    assign(this, recentIDs_, ids, &WorkspaceModel::recentIDsChanged);
}

void WorkspaceModel::setShowOnboarding(bool show) {
    assign(this, showOnboarding_, show, &WorkspaceModel::showOnboardingChanged);
}

void WorkspaceModel::setOnboardingStep(int step) {
    assign(this, onboardingStep_, step, &WorkspaceModel::onboardingStepChanged);
}

void WorkspaceModel::setVerifiedKeys(const QSet<int>& keys) {
    assign(this, verifiedKeys_, keys, &WorkspaceModel::verifiedKeysChanged);
}

void WorkspaceModel::insertVerifiedKey(int key) {
    QSet<int> keys = verifiedKeys_;
    keys.insert(key);
    setVerifiedKeys(keys);
}

void WorkspaceModel::setQuery(const QString& query) {
    assign(this, query_, query, &WorkspaceModel::queryChanged);
}

void WorkspaceModel::setHighlighted(int index) {
    assign(this, highlighted_, index, &WorkspaceModel::highlightedChanged);
}

void WorkspaceModel::setLayoutID(const QString& id) {
    assign(this, layoutID_, id, &WorkspaceModel::layoutIDChanged);
}

void WorkspaceModel::setScanning(bool scanning) {
    assign(this, scanning_, scanning, &WorkspaceModel::scanningChanged);
}

void WorkspaceModel::setBusy(bool busy) { assign(this, busy_, busy, &WorkspaceModel::busyChanged); }

void WorkspaceModel::setTargetDisplayID(std::optional<quint32> display) {
    assign(this, targetDisplayID_, display, &WorkspaceModel::targetDisplayIDChanged);
}

QSet<QString> WorkspaceModel::runningIds() const {
    QSet<QString> ids;
    for (const RunningApplication& app : services_.windows.runningApplications()) {
        if (!app.id.isEmpty()) {
            ids.insert(app.id);
        }
    }
    return ids;
}

InstalledApps WorkspaceModel::results(std::stop_token stop) const {
    const auto order = searchIndex_.rank(query_, [this] { return runningIds(); }, stop);
    InstalledApps ranked;
    ranked.reserve(static_cast<qsizetype>(order.size()));
    for (const qsizetype index : order) {
        ranked.append(apps_[index]);
    }
    return ranked;
}

InstalledApps WorkspaceModel::recentApps() const {
    InstalledApps recent;
    for (const QString& id : recentIDs_) {
        const auto app = std::find_if(apps_.begin(), apps_.end(),
                                      [&](const InstalledApp& a) { return a.id == id; });
        if (app != apps_.end()) {
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
    InstalledApps selection = selected_;
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
    QStringList recent = recentIDs_;
    recent.removeAll(id);
    recent.prepend(id);
    if (recent.size() > recentLimit) {
        recent.resize(recentLimit);
    }
    setRecentIDs(recent);
    defaults_.setTextList(keys::recentActivatedApps, recentIDs_);
}

Task<void> WorkspaceModel::refreshApps() {
    if (scanInProgress_) {
        co_return;
    }
    scanInProgress_ = true;
    setScanning(apps_.isEmpty());

    QList<RunningApplication> running;
    for (const RunningApplication& app : services_.windows.runningApplications()) {
        if (app.regular) {
            running.append(app);
        }
    }
    const std::shared_ptr<bool> alive = alive_;
    InstalledApps catalog = co_await runInBackground(services_.background, &scanApplications,
                                                     services_.catalog, running,
                                                     stopScans_.get_token());
    if (!*alive) {
        co_return;  // the model went away while the folders were walked
    }
    setApps(catalog);
    if (recentIDs_.isEmpty()) {
        seedRecentHistory();
    }
    scanInProgress_ = false;
    setScanning(false);
}

void WorkspaceModel::seedRecentHistory() {
    QList<RunningApplication> running;
    for (const RunningApplication& app : services_.windows.runningApplications()) {
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
        const bool listed = std::any_of(apps_.begin(), apps_.end(),
                                        [&](const InstalledApp& a) { return a.id == app.id; });
        if (listed) {
            recordActivation(app.id);
        }
    }
}

}  // namespace tessora
