#pragma once

#include "core/InstalledApp.h"
#include "core/TaskFwd.h"
#include "platform/DefaultsStore.h"
#include "platform/WindowSystem.h"
#include "workspace/AppCatalog.h"
#include "workspace/AppSearch.h"
#include "workspace/WindowLayout.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

namespace tessora {

class LaunchOperations;

// What the model needs from outside the system.
struct WorkspaceServices {
    WindowSystem& windows;
    BackgroundWork& background;
    CatalogEnvironment catalog;
    // Opens an earlier edition's settings read-only, or gives nullptr when it cannot be opened.
    std::function<std::unique_ptr<DefaultsStore>(const QString& domain)> openPreviousEdition;
    // What confirming a selection does; without it, confirming does nothing.
    LaunchOperations* operations = nullptr;
};

// The one central state of the launcher: catalog, selection, search text with its ranked
// results and highlight, chosen layout, recent applications, first-run flags and the busy flag.
// Main thread only. Every property notifies only when its value really changes.
class WorkspaceModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(tessora::InstalledApps apps READ apps WRITE setApps NOTIFY appsChanged)
    Q_PROPERTY(
        tessora::InstalledApps selected READ selected WRITE setSelected NOTIFY selectedChanged)
    Q_PROPERTY(QStringList recentIDs READ recentIDs WRITE setRecentIDs NOTIFY recentIDsChanged)
    Q_PROPERTY(bool showOnboarding READ showOnboarding WRITE setShowOnboarding NOTIFY
                   showOnboardingChanged)
    Q_PROPERTY(
        int onboardingStep READ onboardingStep WRITE setOnboardingStep NOTIFY onboardingStepChanged)
    Q_PROPERTY(
        QSet<int> verifiedKeys READ verifiedKeys WRITE setVerifiedKeys NOTIFY verifiedKeysChanged)
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    Q_PROPERTY(tessora::InstalledApps results READ results NOTIFY resultsChanged)
    Q_PROPERTY(int highlighted READ highlighted WRITE setHighlighted NOTIFY highlightedChanged)
    Q_PROPERTY(QString layoutID READ layoutID WRITE setLayoutID NOTIFY layoutIDChanged)
    Q_PROPERTY(bool scanning READ scanning NOTIFY scanningChanged)
    Q_PROPERTY(bool busy READ busy WRITE setBusy NOTIFY busyChanged)
    Q_PROPERTY(std::optional<quint32> targetDisplayID READ targetDisplayID WRITE setTargetDisplayID
                   NOTIFY targetDisplayIDChanged)

public:
    static constexpr int recentLimit = 10;
    static constexpr int recentAppsShown = 7;

    WorkspaceModel(DefaultsStore& defaults, WorkspaceServices services, QObject* parent = nullptr);
    ~WorkspaceModel() override;

    const InstalledApps& apps() const { return m_apps; }
    const InstalledApps& selected() const { return m_selected; }
    const QStringList& recentIDs() const { return m_recentIDs; }
    bool showOnboarding() const { return m_showOnboarding; }
    int onboardingStep() const { return m_onboardingStep; }
    const QSet<int>& verifiedKeys() const { return m_verifiedKeys; }
    const QString& query() const { return m_query; }
    // The catalog ranked for the query (see AppSearchIndex), best first.
    const InstalledApps& results() const { return m_results; }
    int highlighted() const { return m_highlighted; }
    const QString& layoutID() const { return m_layoutID; }
    bool scanning() const { return m_scanning; }
    bool scanInProgress() const { return m_scanInProgress; }
    bool busy() const { return m_busy; }
    std::optional<quint32> targetDisplayID() const { return m_targetDisplayID; }
    DefaultsStore& defaults() const { return m_defaults; }

    void setApps(const InstalledApps& apps);
    void setSelected(const InstalledApps& selected);
    void setRecentIDs(const QStringList& ids);
    void setShowOnboarding(bool show);
    void setOnboardingStep(int step);
    void setVerifiedKeys(const QSet<int>& keys);
    void insertVerifiedKey(int key);
    // Ranks the results for the new text; the highlight follows: the first result while there
    // is text, none without.
    void setQuery(const QString& query);
    // An index into `results`; -1 for none.
    void setHighlighted(int index);
    void setLayoutID(const QString& id);
    void setBusy(bool busy);
    void setTargetDisplayID(std::optional<quint32> display);

    // Ranks the results again: running applications lead an empty search, and they come and go
    // without the model hearing of it.
    void refreshResults();
    // The catalog ranked for any text, leaving the model as it is. A stop request ends a search
    // early with an empty result.
    InstalledApps rankedFor(const QString& query, std::stop_token stop = {}) const;
    // Up to seven applications of the recent history that are still in the catalog.
    InstalledApps recentApps() const;
    // Selects the application (appending it and clearing the query) or deselects it.
    void toggle(const InstalledApp& app);
    // Resets the launcher: selection, query, layout, highlight and target display.
    void clearSelection();
    // Moves the application to the front of the recent history and stores the history.
    void recordActivation(const QString& id);

    // Rescans the catalog off the main thread and replaces `apps`; a refresh asked for while one
    // runs returns at once. Seeds an empty recent history with the running applications.
    Task<void> refreshApps();

    // Confirms the selection: opens the selected applications, or arranges their windows in the
    // chosen layout on the display the launcher was shown on. `onStart` runs once the run has
    // begun (the launcher hides itself there). Nothing happens while a run is busy, without a
    // selection, for an unknown layout, without window control or without a display.
    void launchSelected(const std::function<void()>& onStart);

    // Position of the first entry of `list` with the application's id.
    static std::optional<qsizetype> selectionPosition(const InstalledApp& app,
                                                      const InstalledApps& list);

signals:
    void appsChanged();
    void selectedChanged();
    void recentIDsChanged();
    void showOnboardingChanged();
    void onboardingStepChanged();
    void verifiedKeysChanged();
    void queryChanged();
    void resultsChanged();
    void highlightedChanged();
    void layoutIDChanged();
    void scanningChanged();
    void busyChanged();
    void targetDisplayIDChanged();
    // A launch run ended, with its failure messages (also written to the "Launcher" log).
    void launchFinished(const QStringList& messages);

private:
    // What a confirmed launch works on, taken when it is confirmed.
    struct LaunchPlan {
        InstalledApps apps;
        std::optional<WindowLayout> layout;  // none: open without arranging
        WindowRect area;
        double gap = 0;
        bool indicators = false;
    };
    std::optional<Screen> targetScreen() const;
    void run(const std::function<void()>& onStart, LaunchPlan plan);
    Task<void> perform(LaunchPlan plan);

    void setScanning(bool scanning);
    QSet<QString> runningIds() const;
    void seedRecentHistory();

    InstalledApps m_apps;
    InstalledApps m_selected;
    DefaultsStore& m_defaults;
    WorkspaceServices m_services;
    QStringList m_recentIDs;
    bool m_showOnboarding = true;
    int m_onboardingStep = 0;
    QSet<int> m_verifiedKeys;
    QString m_query;
    InstalledApps m_results;
    int m_highlighted = -1;
    QString m_layoutID;
    bool m_scanning = true;
    bool m_scanInProgress = false;
    bool m_busy = false;
    std::optional<quint32> m_targetDisplayID;

    AppSearchIndex m_searchIndex;
    // Shared with running refreshes, which outlive nothing: they check it before touching us.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    std::stop_source m_stopScans;  // a scan still walking when the model goes ends early
};

}  // namespace tessora
