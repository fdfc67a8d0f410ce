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

    RecentApps* recent() const { return recent_; }
    ResultsView* results() const { return results_; }
    // Shows or hides the recent section and lays the page out again.
    void setRecentShown(bool shown);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    RecentApps* recent_;
    ResultsView* results_;
    bool recentShown_ = false;
};

// The rounded area below the search bar: the tab pills and the current tab's page.
class ContentArea : public QWidget {
    Q_OBJECT

public:
    ContentArea(WorkspaceModel& model, LauncherState& state, IconCache& icons, QWidget* parent = nullptr);

    TabBar* tabBar() const { return tabBar_; }
    ApplicationsPage* applications() const { return applications_; }
    LayoutsView* layouts() const { return layouts_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showTab();

    LauncherState& state_;
    TabBar* tabBar_;
    QStackedWidget* pages_;
    ApplicationsPage* applications_;
    QWidget* layoutsPage_;
    LayoutsView* layouts_;
};

}  // namespace tessora
