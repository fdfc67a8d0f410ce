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

    QMenu* actionsMenu() const { return m_menu; }
    QAction* launchAction() const { return m_launch; }
    QAction* gridAction() const { return m_grid; }
    QAction* listAction() const { return m_list; }
    QAction* clearAction() const { return m_clear; }
    QAction* settingsAction() const { return m_settings; }

    QSize sizeHint() const override { return {30, 30}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();

    WorkspaceModel& m_model;
    LauncherState& m_state;
    QMenu* m_menu;
    QAction* m_launch;
    QAction* m_grid;
    QAction* m_list;
    QAction* m_clear;
    QAction* m_settings;
};

}  // namespace tessora
