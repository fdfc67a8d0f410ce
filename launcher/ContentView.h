#pragma once

#include "core/InstalledApp.h"
#include "launcher/LauncherKeyRules.h"
#include "workspace/WindowLayout.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

class QLineEdit;
class QWindow;

namespace tessora {

class ActionsMenu;
class ContentArea;
class DefaultsStore;
class IconCache;
class LauncherState;
class LayoutsView;
class PanelHost;
class PanelNotifier;
class RecentApps;
class ResultsView;
class SearchBar;
class TabBar;
class WindowSystem;
class WorkspaceModel;

// The whole content of the launcher panel: the search bar, the tab pills, and either the
// applications (recent applications and ranked results) or the layouts. Everything is driven
// from the keyboard by a key monitor on the panel's window, active while the view is shown,
// which sees each key before the focused control does (see decideLauncherKey).
//
// The application data (search text, highlight, selection, chosen layout) lives in the
// workspace model; the view keeps only its presentation state (LauncherState) and the results
// of the current search, recomputed when the search text or the catalog changes.
class ContentView : public QWidget {
    Q_OBJECT

public:
    // `windows` reads the keys typed into the panel.
    ContentView(WorkspaceModel& model, const WindowSystem& windows, DefaultsStore& defaults,
                PanelHost& panel, PanelNotifier& notifier, std::function<void()> openSettings,
                QWidget* parent = nullptr);
    ~ContentView() override;

    LauncherState& state() const { return *m_state; }
    IconCache& icons() const { return *m_icons; }
    const QList<WindowLayout>& layouts() const { return m_layouts; }

    // The pieces, for the shell and for tests.
    SearchBar* searchBar() const { return m_searchBar; }
    QLineEdit* searchField() const;
    TabBar* tabBar() const;
    ResultsView* resultsView() const;
    RecentApps* recentApps() const;
    LayoutsView* layoutsView() const;
    ActionsMenu* actionsMenu() const { return m_actions; }
    bool isKeyMonitorInstalled() const { return !m_monitored.isNull(); }

    // Sizes the panel for the view mode (see resizedPanelFrame) and lays the view out for it.
    void resizePanel();
    // The shape the panel's content occupies (search capsule and content area), for a window
    // mask where the panel wants one.
    QRegion contentShape() const;

    // Actions the keyboard and the mouse share.
    void selectHighlightedResult();
    void chooseLayout(const QString& id);
    void openTab(LauncherTab tab);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void installKeyMonitor();
    void removeKeyMonitor();
    bool handleKey(const KeyStroke& key);
    LauncherKeyContext keyContext() const;
    void hidePanel();
    void launchSelected();

    void queryChanged();
    void refreshRecent();
    void layoutQueryChanged();
    void refreshLayouts();
    void tabChanged();
    void viewModeChanged();
    void applySearchFocus();
    void focusNextTurn();
    void resetForPanel();
    void place();

    WorkspaceModel& m_model;
    const WindowSystem& m_windows;
    PanelHost& m_panel;
    std::function<void()> m_openSettings;
    LauncherState* m_state;
    IconCache* m_icons;
    ActionsMenu* m_actions;
    SearchBar* m_searchBar;
    ContentArea* m_contentArea;
    QList<WindowLayout> m_layouts;
    QPointer<QWindow> m_monitored;  // the window the key monitor is installed on
    bool m_updatingField = false;
};

}  // namespace tessora
