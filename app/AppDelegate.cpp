#include "app/AppDelegate.h"

#include "app/CasementPanel.h"
#include "app/PanelController.h"
#include "app/QtWindowSpace.h"
#include "app/RecentActivations.h"
#include "app/SettingsWindow.h"
#include "app/ShortcutService.h"
#include "app/StatusMenu.h"
#include "app/Updater.h"
#include "arrange/LaunchArranger.h"
#include "arrange/StackIndicator.h"
#include "chain/RibbonLayoutSession.h"
#include "core/Task.h"
#include "launcher/ContentView.h"
#include "platform/WindowSystem.h"
#include "preferences/Fonts.h"
#include "preferences/TrayIcon.h"
#include "workspace/WorkspaceModel.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>

namespace tessora {

AppDelegate::AppDelegate(AppContext context, QObject* parent)
    : QObject(parent),
      context_(std::move(context)),
      noUpdater_(context_.updater ? nullptr : std::make_unique<NoUpdater>()),
      updater_(context_.updater ? *context_.updater : *noUpdater_),
      chain_(std::make_unique<RibbonLayoutSession>(context_.windows, context_.clock,
                                                   context_.chainPanels)),
      indicator_(context_.indicatorPanels
                     ? std::make_unique<WindowStackIndicator>(context_.windows, context_.clock,
                                                              context_.indicatorPanels)
                     : nullptr),
      arranger_(std::make_unique<LaunchArranger>(context_.windows, context_.clock,
                                                 indicator_.get(), chain_.get())),
      model_(std::make_unique<WorkspaceModel>(
          context_.defaults,
          WorkspaceServices{context_.windows, context_.background, context_.catalog,
                            context_.openPreviousEdition, arranger_.get()})),
      shortcut_(std::make_unique<ShortcutService>(context_.windows, context_.defaults)) {}

AppDelegate::~AppDelegate() {
    applicationWillTerminate();
    shortcut_->setOnOpen({});
    updater_.setIsArranging({});
}

void AppDelegate::applicationDidFinishLaunching() {
    if (started_ || context_.arguments.contains(QStringLiteral("--unit-testing"))) {
        return;
    }
    started_ = true;
    registerFonts();
    buildStatusMenu();
    buildPanel();
    connect(&context_.windows, &WindowSystem::screensChanged, this,
            &AppDelegate::applicationDidChangeScreenParameters);
    shortcut_->setOnOpen([self = QPointer<AppDelegate>(this)] {
        if (self) {
            self->shortcutPressed();
        }
    });
    updater_.setIsArranging([self = QPointer<AppDelegate>(this)] {
        return self && self->model_->busy();
    });
    if (model_->showOnboarding()) {
        openSettingsWindow(PreferencesNavigation::Section::Settings);
    }
    startDetached(model_->refreshApps());
}

void AppDelegate::buildStatusMenu() {
    statusMenu_ = std::make_unique<StatusMenu>();
    QMenu* menu = statusMenu_->menu();
    connect(menu, &QMenu::aboutToShow, this, &AppDelegate::menuNeedsUpdate);
    connect(menu, &QMenu::aboutToHide, this, &AppDelegate::menuDidClose);
    connect(statusMenu_->enableItem(), &QAction::triggered, this, &AppDelegate::toggleEnabled);
    connect(statusMenu_->openItem(), &QAction::triggered, this, &AppDelegate::showPanel);
    connect(statusMenu_->shortcutsItem(), &QAction::triggered, this,
            [this] { openSettingsWindow(PreferencesNavigation::Section::Shortcuts); });
    connect(statusMenu_->updateItem(), &QAction::triggered, this,
            [this] { updater_.checkForUpdates(); });
    connect(statusMenu_->settingsItem(), &QAction::triggered, this,
            [this] { openSettingsWindow(PreferencesNavigation::Section::Settings); });
    // exit() rather than quit(): quitting must not depend on every window agreeing to close.
    connect(statusMenu_->quitItem(), &QAction::triggered, qApp, [] { QCoreApplication::exit(0); },
            Qt::QueuedConnection);
    menuNeedsUpdate();
    statusMenu_->showInTray(trayIcon());
}

void AppDelegate::buildPanel() {
    panel_ = std::make_unique<CasementPanel>(context_.windows);
    auto* view = new ContentView(*model_, context_.defaults, *panel_, notifier_,
                                 [self = QPointer<AppDelegate>(this)] {
                                     if (self) {
                                         self->openSettingsWindow(
                                             PreferencesNavigation::Section::Settings);
                                     }
                                 });
    panel_->setContent(view, [view] { return view->contentShape(); });

    PanelController::Hooks hooks;
    hooks.launcherEnabled = [this] { return shortcut_->enabled(); };
    hooks.openFirstRun = [this] { openSettingsWindow(PreferencesNavigation::Section::Settings); };
    hooks.syncStackIndicator = [this] {
        if (indicator_) {
            indicator_->sync();
        }
    };
    hooks.ownWindowAt = [this](QPointF location) { return ownWindowAt(location); };
    hooks.activated = [this](const RunningApplication& app) { recordActivation(app); };
    controller_ = std::make_unique<PanelController>(context_.windows, context_.clock, *model_,
                                                    *panel_, notifier_, std::move(hooks),
                                                    context_.ownPid);
}

void AppDelegate::applicationDidChangeScreenParameters() {
    chain_->end();
}

void AppDelegate::applicationShouldHandleReopen() {
    showPanel();
}

void AppDelegate::applicationWillTerminate() {
    if (!started_ || terminated_) {
        return;
    }
    terminated_ = true;
    chain_->end();
    disconnect(&context_.windows, nullptr, this, nullptr);
    controller_->stopObserving();
    statusMenu_->removeFromTray();
}

void AppDelegate::showPanel() {
    if (controller_) {
        controller_->showPanel();
    }
}

void AppDelegate::hidePanel() {
    if (controller_) {
        controller_->hidePanel();
    }
}

void AppDelegate::togglePanel() {
    if (controller_) {
        controller_->togglePanel();
    }
}

void AppDelegate::openSettingsWindow(PreferencesNavigation::Section section) {
    navigation_.setSection(section);
    if (!settingsWindow_) {
        settingsWindow_ =
            std::make_unique<SettingsWindow>(context_.windows, *model_, *shortcut_);
    }
    hidePanel();
    settingsWindow_->present();
}

void AppDelegate::menuNeedsUpdate() {
    statusMenu_->enableItem()->setChecked(shortcut_->enabled());
    statusMenu_->updateItem()->setEnabled(updater_.canCheck() && !model_->busy());
}

void AppDelegate::menuDidClose() {
    // After the menu has gone: the panel takes the focus back from it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (controller_) {
                controller_->refocus();
            }
        },
        Qt::QueuedConnection);
}

void AppDelegate::toggleEnabled() {
    shortcut_->setEnabled(!shortcut_->enabled());
    if (!shortcut_->enabled()) {
        hidePanel();
    }
    statusMenu_->enableItem()->setChecked(shortcut_->enabled());
}

void AppDelegate::shortcutPressed() {
    if (model_->showOnboarding() && model_->onboardingStep() == 1) {
        // The first-run flow asks the user to try the shortcut: this is the proof.
        model_->insertVerifiedKey(0);
        openSettingsWindow(PreferencesNavigation::Section::Settings);
        return;
    }
    togglePanel();
}

void AppDelegate::recordActivation(const RunningApplication& app) {
    if (const std::optional<QString> id =
            recentHistoryId(app, context_.ownPid, context_.catalog, model_->apps())) {
        model_->recordActivation(*id);
    }
}

bool AppDelegate::ownWindowAt(QPointF location) const {
    const QPoint point = toQtPoint(location).toPoint();
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible()) {
            continue;
        }
        // Asked of the server: windows embedded elsewhere (the tray icon) move with their host.
        const QPoint local = point - window->mapToGlobal(QPoint(0, 0));
        // A window cut to a shape lets clicks beside the shape through to what is below.
        if (window->rect().contains(local) &&
            (window->mask().isEmpty() || window->mask().contains(local))) {
            return true;
        }
    }
    return false;
}

}  // namespace tessora
