#pragma once

#include <QWidget>

class QStackedWidget;

namespace tessora {

class IconCache;
class LauncherState;
class LayoutsView;
class RecentApps;
class ResultsView;
class TabBar;
class WorkspaceModel;

// The applications tab's page: the recent applications (when shown) above the results.
class ApplicationsPage : public QWidget {
    Q_OBJECT

public:
    ApplicationsPage(WorkspaceModel& model, IconCache& icons, QWidget* parent = nullptr);

    RecentApps* recent() const { return m_recent; }
    ResultsView* results() const { return m_results; }
    // Shows or hides the recent section and lays the page out again.
    void setRecentShown(bool shown);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    RecentApps* m_recent;
    ResultsView* m_results;
    bool m_recentShown = false;
};

// The rounded area below the search bar: the tab pills and the current tab's page.
class ContentArea : public QWidget {
    Q_OBJECT

public:
    ContentArea(WorkspaceModel& model, LauncherState& state, IconCache& icons,
                QWidget* parent = nullptr);

    TabBar* tabBar() const { return m_tabBar; }
    ApplicationsPage* applications() const { return m_applications; }
    LayoutsView* layouts() const { return m_layouts; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showTab();

    LauncherState& m_state;
    TabBar* m_tabBar;
    QStackedWidget* m_pages;
    ApplicationsPage* m_applications;
    QWidget* m_layoutsPage;
    LayoutsView* m_layouts;
};

}  // namespace tessora
