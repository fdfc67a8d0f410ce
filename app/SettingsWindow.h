#pragma once

#include <QSize>
#include <QWidget>

namespace tessora {

class ShortcutService;
class WindowSystem;
class WorkspaceModel;

// The settings window: the first-run page while the model's showOnboarding is set, in a fixed
// 700 x 620 window, and the settings afterwards, 791 wide and resizable in height only (at least
// 480). When the first run finishes while it is open it grows to 791 x 620 once. Closing it only
// hides it; it is created on first use and kept.
class SettingsWindow final : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize firstRunSize{700, 620};
    static constexpr QSize settingsSize{791, 620};
    static constexpr int settingsMinimumHeight = 480;

    SettingsWindow(WindowSystem& windows, WorkspaceModel& model, ShortcutService& shortcut);
    ~SettingsWindow() override;

    // Shows it in front with the focus.
    void present();
    bool showsFirstRun() const { return m_firstRun; }
    QWidget* page() const { return m_page; }

private:
    // Puts the page of the model's mode in place and enforces the mode's size limits; a change
    // of mode also resizes the window once.
    void applyMode();
    void centre();

    WindowSystem& m_windows;
    WorkspaceModel& m_model;
    ShortcutService& m_shortcut;
    QWidget* m_page = nullptr;
    bool m_firstRun = false;
    bool m_modeApplied = false;
};

}  // namespace tessora
