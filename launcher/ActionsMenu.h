#pragma once

#include <QToolButton>
#include <functional>

class QAction;
class QMenu;

namespace tessora {

class LauncherState;
class WorkspaceModel;

// The "…" button at the end of the search bar and its menu: launch the selection, switch the
// view between grid and list, clear the selection (Ctrl+Shift+C), open the settings.
class ActionsMenu : public QToolButton {
    Q_OBJECT

public:
    ActionsMenu(WorkspaceModel& model, LauncherState& state, std::function<void()> launch,
                std::function<void()> openSettings, QWidget* parent = nullptr);

    QMenu* actionsMenu() const { return menu_; }
    QAction* launchAction() const { return launch_; }
    QAction* gridAction() const { return grid_; }
    QAction* listAction() const { return list_; }
    QAction* clearAction() const { return clear_; }
    QAction* settingsAction() const { return settings_; }

    QSize sizeHint() const override { return {30, 30}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();

    WorkspaceModel& model_;
    LauncherState& state_;
    QMenu* menu_;
    QAction* launch_;
    QAction* grid_;
    QAction* list_;
    QAction* clear_;
    QAction* settings_;
};

}  // namespace tessora
