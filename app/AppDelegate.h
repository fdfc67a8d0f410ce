#pragma once

#include "app/PreferencesNavigation.h"
#include "app/WindowControl.h"
#include "arrange/StackIndicatorView.h"
#include "chain/RibbonPanelView.h"
#include "launcher/PanelNotifier.h"
#include "workspace/AppCatalog.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

namespace tessora {

class BackgroundWork;
class CasementPanel;
class Clock;
class DefaultsStore;
class LaunchArranger;
class LoginItem;
class PanelController;
class RibbonLayoutSession;
class SettingsWindow;
class ShortcutService;
class StatusMenu;
class Updater;
class WindowControlPrompt;
class WindowStackIndicator;
class WindowSystem;
class WorkspaceModel;

// What the resident application runs on, handed in by whoever starts it (the program, a test).
struct AppContext {
    WindowSystem& windows;
    Clock& clock;
    BackgroundWork& background;
    DefaultsStore& defaults;  // the standard store: the model carries earlier editions over
    CatalogEnvironment catalog;
    // Opens an earlier edition's settings read-only (see WorkspaceServices).
    std::function<std::unique_ptr<DefaultsStore>(const QString& domain)> openPreviousEdition;
    RibbonPanelViewFactory chainPanels;         // empty: the Chain strip shows no panel
    StackIndicatorViewFactory indicatorPanels;  // empty: no stack indicator is shown
    Updater* updater = nullptr;                 // none: a build without updates
    QStringList arguments;                      // the process's arguments
    qint64 ownPid = 0;                          // this process
    LoginItem* loginItem = nullptr;             // none: the XDG autostart entry of this user
};

// The root of the running program. It owns the model, the shortcut service, the launcher panel
// with its rules, the settings window and the tray menu, starts them in order and tears them
// down at termination. Main thread only.
class AppDelegate final : public QObject {
    Q_OBJECT

public:
    explicit AppDelegate(AppContext context, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Start-up: the tray menu, the panel with the launcher view, the observers, the shortcut,
    // the first-run window on a first run and the first catalog scan. With "--unit-testing"
    // among the arguments it does nothing.
    void applicationDidFinishLaunching();
    // The monitors changed: a running Chain session ends (its windows go back).
    void applicationDidChangeScreenParameters();
    // Another start of the program while this one runs.
    void applicationShouldHandleReopen();
    // Termination, in order: the Chain session ends, the observers and the click watch go,
    // the tray icon goes. Runs once.
    void applicationWillTerminate();

    void showPanel();
    void hidePanel();
    void togglePanel();
    // Shows the settings window on a page, created on first use and kept.
    void openSettingsWindow(PreferencesNavigation::Section section);

    // The tray menu's handlers.
    void menuNeedsUpdate();
    void menuDidClose();
    void toggleEnabled();

    // --- parts, for the program and for tests (null before start-up)
    WorkspaceModel& model() const { return *m_model; }
    ShortcutService& shortcut() const { return *m_shortcut; }
    PreferencesNavigation& navigation() { return m_navigation; }
    PanelNotifier& notifier() { return m_notifier; }
    RibbonLayoutSession& chainSession() const { return *m_chain; }
    StatusMenu* statusMenu() const { return m_statusMenu.get(); }
    CasementPanel* panel() const { return m_panel.get(); }
    PanelController* panelController() const { return m_controller.get(); }
    SettingsWindow* settingsWindow() const { return m_settingsWindow.get(); }
    bool started() const { return m_started; }

private:
    void buildStatusMenu();
    void buildPanel();
    void shortcutPressed();
    void recordActivation(const RunningApplication& app);
    // The settings window's content for its mode.
    QWidget* makeSettingsContent(bool firstRun, QWidget* parent);
    WindowControl windowControl();
    // Whether a point (window space) lies on one of our visible windows.
    bool ownWindowAt(QPointF location) const;

    AppContext m_context;
    std::unique_ptr<Updater> m_noUpdater;
    Updater& m_updater;
    std::unique_ptr<RibbonLayoutSession> m_chain;
    std::unique_ptr<WindowStackIndicator> m_indicator;
    std::unique_ptr<LaunchArranger> m_arranger;
    std::unique_ptr<WorkspaceModel> m_model;
    std::unique_ptr<ShortcutService> m_shortcut;
    PreferencesNavigation m_navigation;
    PanelNotifier m_notifier;
    std::unique_ptr<CasementPanel> m_panel;
    std::unique_ptr<PanelController> m_controller;
    std::unique_ptr<LoginItem> m_ownLoginItem;
    LoginItem& m_loginItem;
    std::unique_ptr<WindowControlPrompt> m_windowControlPrompt;
    std::unique_ptr<SettingsWindow> m_settingsWindow;
    std::unique_ptr<StatusMenu> m_statusMenu;
    bool m_started = false;
    bool m_terminated = false;
};

}  // namespace tessora
