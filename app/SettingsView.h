#pragma once

#include "app/WindowControl.h"

#include <QWidget>
#include <functional>

class QLabel;
class QScrollArea;

namespace tessora {

class Clock;
class DefaultsStore;
class LaunchAtLogin;
class LoginItem;
class OrrerySettingsRow;
class OrrerySwitch;
class ShortcutButton;
class ShortcutService;
class WindowLayoutOptions;
class WindowSystem;

// The settings page of the preferences window: launch at login, window control, the shortcut
// that opens the launcher, the two window-layout options, and the program's name and version.
// The login item and window control are read again while the page is shown (window control
// every second, both when the program becomes active), since either may change outside the
// program. `hideStackIndicator` removes a stack indicator on screen when the option is
// switched off.
class SettingsView final : public QWidget {
    Q_OBJECT

public:
    SettingsView(ShortcutService& shortcut, DefaultsStore& defaults, WindowSystem& windows,
                 LoginItem& login, WindowControl windowControl, Clock& clock,
                 std::function<void()> hideStackIndicator, QWidget* parent = nullptr);
    ~SettingsView() override;

    static constexpr int kWidth = 540;
    static constexpr int kPadding = 14;
    static constexpr int kGroupSpacing = 18;

    // The parts, for tests and for the window that hosts the page.
    QScrollArea* scrollArea() const { return m_scrollArea; }
    OrrerySwitch* loginSwitch() const { return m_loginSwitch; }
    QLabel* loginErrorLabel() const { return m_loginError; }
    OrrerySettingsRow* windowControlRow() const { return m_windowControlRow; }
    OrrerySwitch* windowControlSwitch() const { return m_windowControlSwitch; }
    ShortcutButton* shortcutButton() const { return m_shortcutButton; }
    QLabel* recordingHintLabel() const { return m_recordingHint; }
    QLabel* shortcutErrorLabel() const { return m_shortcutError; }
    OrrerySwitch* spacingSwitch() const { return m_spacingSwitch; }
    OrrerySwitch* stackIndicatorSwitch() const { return m_stackIndicatorSwitch; }
    QLabel* versionLabel() const { return m_version; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildGeneral();
    QWidget* buildPermissions();
    QWidget* buildShortcut();
    QWidget* buildWindowLayout();
    QWidget* buildAbout();

    void readWindowControl();
    void followLogin();
    void followShortcut();
    void followWindowLayout();

    ShortcutService& m_shortcut;
    WindowSystem& m_windows;
    WindowControl m_windowControl;
    LaunchAtLogin* m_login;
    WindowLayoutOptions* m_layoutOptions;

    QScrollArea* m_scrollArea = nullptr;
    OrrerySwitch* m_loginSwitch = nullptr;
    QLabel* m_loginError = nullptr;
    OrrerySettingsRow* m_windowControlRow = nullptr;
    OrrerySwitch* m_windowControlSwitch = nullptr;
    ShortcutButton* m_shortcutButton = nullptr;
    QLabel* m_recordingHint = nullptr;
    QLabel* m_shortcutError = nullptr;
    OrrerySwitch* m_spacingSwitch = nullptr;
    OrrerySwitch* m_stackIndicatorSwitch = nullptr;
    QLabel* m_version = nullptr;
};

}  // namespace tessora
