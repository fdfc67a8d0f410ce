#include "app/AppDelegate.h"

#include "app/CasementPanel.h"
#include "app/LaunchArranger.h"
#include "app/OnboardingView.h"
#include "app/PanelController.h"
#include "app/PreferencesView.h"
#include "app/QtWindowSpace.h"
#include "app/RecentActivations.h"
#include "app/SettingsView.h"
#include "app/SettingsWindow.h"
#include "app/ShortcutButton.h"
#include "app/ShortcutService.h"
#include "app/ShortcutsView.h"
#include "app/StatusMenu.h"
#include "app/Updater.h"
#include "app/WindowControlPrompt.h"
#include "arrange/StackIndicator.h"
#include "chain/RibbonLayoutSession.h"
#include "core/Task.h"
#include "launcher/ContentView.h"
#include "platform/AutostartLoginItem.h"
#include "platform/DefaultsStore.h"
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
      m_context(std::move(context)),
      m_noUpdater(m_context.updater ? nullptr : std::make_unique<NoUpdater>()),
      m_updater(m_context.updater ? *m_context.updater : *m_noUpdater),
      m_chain(std::make_unique<RibbonLayoutSession>(m_context.windows, m_context.clock,
                                                    m_context.chainPanels)),
      m_indicator(m_context.indicatorPanels
                      ? std::make_unique<WindowStackIndicator>(m_context.windows, m_context.clock,
                                                               m_context.indicatorPanels)
                      : nullptr),
      m_arranger(std::make_unique<LaunchArranger>(m_context.windows, m_context.clock,
                                                  m_indicator.get(), m_chain.get())),
      m_model(std::make_unique<WorkspaceModel>(
          m_context.defaults,
          WorkspaceServices{m_context.windows, m_context.background, m_context.catalog,
                            m_context.openPreviousEdition, m_arranger.get()})),
      m_shortcut(std::make_unique<ShortcutService>(m_context.windows, m_context.defaults)),
      m_ownLoginItem(m_context.loginItem ? nullptr
                                         : std::make_unique<AutostartLoginItem>(
                                               DefaultsStore::configHome(),
                                               AutostartLoginItem::configDirsFromEnvironment(),
                                               QCoreApplication::applicationFilePath())),
      m_loginItem(m_context.loginItem ? *m_context.loginItem : *m_ownLoginItem) {}

AppDelegate::~AppDelegate() {
    applicationWillTerminate();
    m_shortcut->setOnOpen({});
    m_updater.setIsArranging({});
}

void AppDelegate::applicationDidFinishLaunching() {
    if (m_started || m_context.arguments.contains(QStringLiteral("--unit-testing"))) {
        return;
    }
    m_started = true;
    registerFonts();
    buildStatusMenu();
    buildPanel();
    connect(&m_context.windows, &WindowSystem::screensChanged, this,
            &AppDelegate::applicationDidChangeScreenParameters);
    m_shortcut->setOnOpen([self = QPointer<AppDelegate>(this)] {
        if (self) {
            self->shortcutPressed();
        }
    });
    m_updater.setIsArranging(
        [self = QPointer<AppDelegate>(this)] { return self && self->m_model->busy(); });
    if (m_model->showOnboarding()) {
        openSettingsWindow(PreferencesNavigation::Section::Settings);
    }
    startDetached(m_model->refreshApps());
}

void AppDelegate::buildStatusMenu() {
    m_statusMenu = std::make_unique<StatusMenu>();
    QMenu* menu = m_statusMenu->menu();
    connect(menu, &QMenu::aboutToShow, this, &AppDelegate::menuNeedsUpdate);
    connect(menu, &QMenu::aboutToHide, this, &AppDelegate::menuDidClose);
    connect(m_statusMenu->enableItem(), &QAction::triggered, this, &AppDelegate::toggleEnabled);
    connect(m_statusMenu->openItem(), &QAction::triggered, this, &AppDelegate::showPanel);
    connect(m_statusMenu->shortcutsItem(), &QAction::triggered, this,
            [this] { openSettingsWindow(PreferencesNavigation::Section::Shortcuts); });
    connect(m_statusMenu->updateItem(), &QAction::triggered, this,
            [this] { m_updater.checkForUpdates(); });
    connect(m_statusMenu->settingsItem(), &QAction::triggered, this,
            [this] { openSettingsWindow(PreferencesNavigation::Section::Settings); });
    // exit() rather than quit(): quitting must not depend on every window agreeing to close.
    connect(
        m_statusMenu->quitItem(), &QAction::triggered, qApp, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    menuNeedsUpdate();
    m_statusMenu->showInTray(trayIcon());
}

void AppDelegate::buildPanel() {
    m_panel = std::make_unique<CasementPanel>(m_context.windows);
    auto* view =
        new ContentView(*m_model, m_context.windows, m_context.defaults, *m_panel, m_notifier,
                        [self = QPointer<AppDelegate>(this)] {
                            if (self) {
                                self->openSettingsWindow(PreferencesNavigation::Section::Settings);
                            }
                        });
    m_panel->setContent(view, [view] { return view->contentShape(); });

    PanelController::Hooks hooks;
    hooks.launcherEnabled = [this] { return m_shortcut->enabled(); };
    hooks.openFirstRun = [this] { openSettingsWindow(PreferencesNavigation::Section::Settings); };
    hooks.syncStackIndicator = [this] {
        if (m_indicator) {
            m_indicator->sync();
        }
    };
    hooks.ownWindowAt = [this](QPointF location) { return ownWindowAt(location); };
    hooks.activated = [this](const RunningApplication& app) { recordActivation(app); };
    m_controller =
        std::make_unique<PanelController>(m_context.windows, m_context.clock, *m_model, *m_panel,
                                          m_notifier, std::move(hooks), m_context.ownPid);
}

void AppDelegate::applicationDidChangeScreenParameters() {
    m_chain->end();
}

void AppDelegate::applicationShouldHandleReopen() {
    showPanel();
}

void AppDelegate::applicationWillTerminate() {
    if (!m_started || m_terminated) {
        return;
    }
    m_terminated = true;
    m_chain->end();
    disconnect(&m_context.windows, nullptr, this, nullptr);
    m_controller->stopObserving();
    m_statusMenu->removeFromTray();
}

void AppDelegate::showPanel() {
    if (m_controller) {
        m_controller->showPanel();
    }
}

void AppDelegate::hidePanel() {
    if (m_controller) {
        m_controller->hidePanel();
    }
}

void AppDelegate::togglePanel() {
    if (m_controller) {
        m_controller->togglePanel();
    }
}

void AppDelegate::openSettingsWindow(PreferencesNavigation::Section section) {
    m_navigation.setSection(section);
    if (!m_settingsWindow) {
        m_settingsWindow = std::make_unique<SettingsWindow>(
            m_context.windows, *m_model, [this](bool firstRun, QWidget* parent) {
                return makeSettingsContent(firstRun, parent);
            });
    }
    hidePanel();
    m_settingsWindow->present();
}

QWidget* AppDelegate::makeSettingsContent(bool firstRun, QWidget* parent) {
    if (firstRun) {
        return new OnboardingView(
            *m_model, m_context.defaults, *m_shortcut, m_loginItem, windowControl(),
            m_context.clock,
            [this](QWidget* buttonParent) -> QWidget* {
                return new ShortcutButton(*m_shortcut, m_context.windows, buttonParent);
            },
            parent);
    }
    const auto makePage = [this](PreferencesNavigation::Section section,
                                 QWidget* pageParent) -> QWidget* {
        if (section == PreferencesNavigation::Section::Shortcuts) {
            return new ShortcutsView(*m_shortcut, pageParent);
        }
        return new SettingsView(
            *m_shortcut, m_context.defaults, m_context.windows, m_loginItem, windowControl(),
            m_context.clock,
            [this] {
                if (m_indicator) {
                    m_indicator->hide();
                }
            },
            pageParent);
    };
    return new PreferencesView(m_navigation, windowControl(), m_context.clock, makePage, parent);
}

WindowControl AppDelegate::windowControl() {
    return WindowControl{[this](QString* why) { return m_context.windows.canControlWindows(why); },
                         [this] {
                             if (!m_windowControlPrompt) {
                                 m_windowControlPrompt = std::make_unique<WindowControlPrompt>();
                             }
                             QString why;
                             m_context.windows.canControlWindows(&why);
                             m_windowControlPrompt->present(why);
                         }};
}

void AppDelegate::menuNeedsUpdate() {
    m_statusMenu->enableItem()->setChecked(m_shortcut->enabled());
    m_statusMenu->updateItem()->setEnabled(m_updater.canCheck() && !m_model->busy());
}

void AppDelegate::menuDidClose() {
    // After the menu has gone: the panel takes the focus back from it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_controller) {
                m_controller->refocus();
            }
        },
        Qt::QueuedConnection);
}

void AppDelegate::toggleEnabled() {
    m_shortcut->setEnabled(!m_shortcut->enabled());
    if (!m_shortcut->enabled()) {
        hidePanel();
    }
    m_statusMenu->enableItem()->setChecked(m_shortcut->enabled());
}

void AppDelegate::shortcutPressed() {
    if (m_model->showOnboarding() && m_model->onboardingStep() == 1) {
        // The first-run flow asks the user to try the shortcut: this is the proof.
        m_model->insertVerifiedKey(0);
        openSettingsWindow(PreferencesNavigation::Section::Settings);
        return;
    }
    togglePanel();
}

void AppDelegate::recordActivation(const RunningApplication& app) {
    if (const std::optional<QString> id =
            recentHistoryId(app, m_context.ownPid, m_context.catalog, m_model->apps())) {
        m_model->recordActivation(*id);
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
