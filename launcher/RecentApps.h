#pragma once

#include "core/InstalledApp.h"

#include <QAbstractButton>
#include <QList>
#include <QWidget>

namespace tessora {

class IconCache;
class WorkspaceModel;

// One recent application: a 64 x 64 icon in the list view, or a cell with icon, name and
// selection badge in the grid view. Never highlighted: recent items are not in the keyboard
// order.
class RecentButton : public QAbstractButton {
    Q_OBJECT

public:
    RecentButton(const InstalledApp& app, bool grid, WorkspaceModel& model, IconCache& icons,
                 QWidget* parent = nullptr);
    const InstalledApp& app() const { return app_; }
    void refreshAccessibleName();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    InstalledApp app_;
    bool grid_;
    WorkspaceModel& model_;
    IconCache& icons_;
};

// The recent applications above the results while the search text is empty, followed by a
// divider.
class RecentApps : public QWidget {
    Q_OBJECT

public:
    RecentApps(WorkspaceModel& model, IconCache& icons, QWidget* parent = nullptr);

    void setApps(const InstalledApps& apps);
    const InstalledApps& apps() const { return apps_; }
    void setGrid(bool grid, int columns);
    const QList<RecentButton*>& buttons() const { return buttons_; }
    // The section's height at a width (it shows nothing without applications).
    int heightForWidth(int width) const override;
    bool hasHeightForWidth() const override { return true; }

signals:
    void appActivated(const tessora::InstalledApp& app);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void rebuild();
    void place();
    double itemsHeight(int width) const;

    WorkspaceModel& model_;
    IconCache& icons_;
    InstalledApps apps_;
    bool grid_ = false;
    int columns_ = 4;
    QList<RecentButton*> buttons_;
};

}  // namespace tessora
