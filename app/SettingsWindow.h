#pragma once

#include <QSize>
#include <QWidget>
#include <functional>

namespace tessora {

class WindowSystem;
class WorkspaceModel;

// The settings window: the first-run flow while the model's showOnboarding is set, in a fixed
// 700 x 620 window, and the preferences afterwards, 791 wide and resizable in height only (at
// least 480). The window manager is told as much: equal minimum and maximum sizes and no
// maximize in the Motif hints during the first run; the width held at 791 and maximize allowed
// afterwards; full screen is left at once. When the first run finishes while the window is open
// it grows to 791 x 620 once, after the current update; re-applying the mode without a change
// never resizes it. Closing it only hides it; it is created on first use and kept.
class SettingsWindow final : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize firstRunSize{700, 620};
    static constexpr QSize settingsSize{791, 620};
    static constexpr int settingsMinimumHeight = 480;

    // Makes the content of a mode: the first-run flow (true) or the preferences (false).
    using ContentFactory = std::function<QWidget*(bool firstRun, QWidget* parent)>;

    SettingsWindow(WindowSystem& windows, WorkspaceModel& model, ContentFactory makeContent);
    ~SettingsWindow() override;

    // Shows it in front with the focus.
    void present();
    bool showsFirstRun() const { return m_firstRun; }
    QWidget* page() const { return m_page; }

protected:
    void changeEvent(QEvent* event) override;

private:
    // Puts the content of the model's mode in place and enforces the mode's limits; a change
    // of mode also resizes the window once.
    void applyMode();
    void applyLimits();
    void centre();

    WindowSystem& m_windows;
    WorkspaceModel& m_model;
    ContentFactory m_makeContent;
    QWidget* m_page = nullptr;
    bool m_firstRun = false;
    bool m_modeApplied = false;
};

}  // namespace tessora
