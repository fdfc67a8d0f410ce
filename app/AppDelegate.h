#pragma once

#include "app/PreferencesNavigation.h"
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
class PanelController;
class RibbonLayoutSession;
class SettingsWindow;
class ShortcutService;
class StatusMenu;
class Updater;
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
    RibbonPanelViewFactory chainPanels;          // empty: the Chain strip shows no panel
    StackIndicatorViewFactory indicatorPanels;   // empty: no stack indicator is shown
    Updater* updater = nullptr;                  // none: a build without updates
    QStringList arguments;                       // the process's arguments
    qint64 ownPid = 0;                           // this process
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
    WorkspaceModel& model() const { return *model_; }
    ShortcutService& shortcut() const { return *shortcut_; }
    PreferencesNavigation& navigation() { return navigation_; }
    PanelNotifier& notifier() { return notifier_; }
    RibbonLayoutSession& chainSession() const { return *chain_; }
    StatusMenu* statusMenu() const { return statusMenu_.get(); }
    CasementPanel* panel() const { return panel_.get(); }
    PanelController* panelController() const { return controller_.get(); }
    SettingsWindow* settingsWindow() const { return settingsWindow_.get(); }
    bool started() const { return started_; }

private:
    void buildStatusMenu();
    void buildPanel();
    void shortcutPressed();
    void recordActivation(const RunningApplication& app);
    // Whether a point (window space) lies on one of our visible windows.
    bool ownWindowAt(QPointF location) const;

    AppContext context_;
    std::unique_ptr<Updater> noUpdater_;
    Updater& updater_;
    std::unique_ptr<RibbonLayoutSession> chain_;
    std::unique_ptr<WindowStackIndicator> indicator_;
    std::unique_ptr<LaunchArranger> arranger_;
    std::unique_ptr<WorkspaceModel> model_;
    std::unique_ptr<ShortcutService> shortcut_;
    PreferencesNavigation navigation_;
    PanelNotifier notifier_;
    std::unique_ptr<CasementPanel> panel_;
    std::unique_ptr<PanelController> controller_;
    std::unique_ptr<SettingsWindow> settingsWindow_;
    std::unique_ptr<StatusMenu> statusMenu_;
    bool started_ = false;
    bool terminated_ = false;
};

}  // namespace tessora
