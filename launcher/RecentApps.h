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
    const InstalledApp& app() const { return m_app; }
    void refreshAccessibleName();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    InstalledApp m_app;
    bool m_grid;
    WorkspaceModel& m_model;
    IconCache& m_icons;
};

// The recent applications above the results while the search text is empty, followed by a
// divider.
class RecentApps : public QWidget {
    Q_OBJECT

public:
    RecentApps(WorkspaceModel& model, IconCache& icons, QWidget* parent = nullptr);

    void setApps(const InstalledApps& apps);
    const InstalledApps& apps() const { return m_apps; }
    void setGrid(bool grid, int columns);
    const QList<RecentButton*>& buttons() const { return m_buttons; }
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

    WorkspaceModel& m_model;
    IconCache& m_icons;
    InstalledApps m_apps;
    bool m_grid = false;
    int m_columns = 4;
    QList<RecentButton*> m_buttons;
};

}  // namespace tessora
