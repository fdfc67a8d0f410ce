#include "launcher/ContentView.h"

#include "launcher/ActionsMenu.h"
#include "launcher/ContentArea.h"
#include "launcher/IconCache.h"
#include "launcher/ItemAccessibility.h"
#include "launcher/LauncherPainting.h"
#include "launcher/LauncherState.h"
#include "launcher/LayoutFilter.h"
#include "launcher/LayoutsView.h"
#include "launcher/PanelHost.h"
#include "launcher/PanelNotifier.h"
#include "launcher/PanelSizing.h"
#include "launcher/RecentApps.h"
#include "launcher/ResultsView.h"
#include "launcher/SearchBar.h"
#include "launcher/TabBar.h"
#include "platform/WindowSystem.h"
#include "preferences/Shapes.h"
#include "workspace/WorkspaceModel.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>
#include <QWindow>

namespace tessora {

namespace {

constexpr int padding = 2;
constexpr int stackSpacing = 12;
// The root stack is 4 shorter than the panel and centred in it.
constexpr int searchBarTop = padding + 2;
constexpr int contentTop = searchBarTop + SearchBar::barHeight + stackSpacing;

}  // namespace

ContentView::ContentView(WorkspaceModel& model, const WindowSystem& windows,
                         DefaultsStore& defaults, PanelHost& panel, PanelNotifier& notifier,
                         std::function<void()> openSettings, QWidget* parent)
    : QWidget(parent),
      m_model(model),
      m_windows(windows),
      m_panel(panel),
      m_openSettings(std::move(openSettings)),
      m_state(new LauncherState(defaults, this)),
      m_icons(new IconCache(this)) {
    installLauncherAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_actions = new ActionsMenu(
        m_model, *m_state, [this] { launchSelected(); },
        [this] {
            if (m_openSettings) {
                m_openSettings();
            }
        });
    m_searchBar = new SearchBar(m_model, *m_icons, m_actions, this);
    m_contentArea = new ContentArea(m_model, *m_state, *m_icons, this);
    // The menu's shortcut also works while the menu is closed.
    m_actions->clearAction()->setShortcutContext(Qt::WindowShortcut);
    addAction(m_actions->clearAction());

    QLineEdit* field = searchField();
    field->installEventFilter(this);
    connect(field, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_state->tab() == LauncherTab::Applications) {
            m_model.setQuery(text);
        } else {
            m_state->setLayoutQuery(text);
        }
    });
    connect(field, &QLineEdit::returnPressed, this, [this] {
        if (m_state->tab() == LauncherTab::Applications && !m_model.query().isEmpty()) {
            selectHighlightedResult();
        }
    });

    connect(&m_model, &WorkspaceModel::queryChanged, this, &ContentView::queryChanged);
    connect(&m_model, &WorkspaceModel::appsChanged, this, &ContentView::refreshRecent);
    connect(&m_model, &WorkspaceModel::recentIDsChanged, this, &ContentView::refreshRecent);

    connect(m_state, &LauncherState::tabChanged, this, &ContentView::tabChanged);
    connect(m_state, &LauncherState::layoutQueryChanged, this, &ContentView::layoutQueryChanged);
    connect(m_state, &LauncherState::appViewModeChanged, this, [this] {
        viewModeChanged();
        resizePanel();
    });
    connect(m_state, &LauncherState::panelWidthChanged, this, &ContentView::viewModeChanged);
    connect(m_state, &LauncherState::panelHeightChanged, this, &ContentView::place);
    connect(m_state, &LauncherState::searchFocusedChanged, this, &ContentView::applySearchFocus);
    connect(m_state, &LauncherState::resultsSessionChanged, this, [this] {
        resultsView()->restart();
        layoutsView()->restart();
    });

    connect(tabBar(), &TabBar::pillActivated, this, [this](LauncherTab tab) {
        m_state->setTab(tab);
        if (tab == LauncherTab::Layouts) {
            m_state->setLayoutHighlighted(-1);
            m_state->setHoveredLayoutID(QString());
        }
        m_state->setSearchFocused(true);
        applySearchFocus();
    });
    const auto selectApp = [this](const InstalledApp& app) {
        m_model.toggle(app);
        m_state->setSearchFocused(true);
        applySearchFocus();
    };
    connect(resultsView(), &ResultsView::appActivated, this, selectApp);
    connect(recentApps(), &RecentApps::appActivated, this, selectApp);
    connect(layoutsView(), &LayoutsView::layoutActivated, this, [this](int index) {
        m_state->setLayoutHighlighted(index);
        chooseLayout(m_layouts.at(index).id);
    });

    connect(&notifier, &PanelNotifier::casementPanelHidden, this, &ContentView::resetForPanel);
    connect(&notifier, &PanelNotifier::casementPanelShown, this, [this] {
        resetForPanel();
        m_model.setHighlighted(-1);
        // Running applications lead an empty search, and they may have changed meanwhile.
        m_model.refreshResults();
        resizePanel();
        m_state->setSearchFocused(false);
        focusNextTurn();
    });
    connect(&notifier, &PanelNotifier::casementPanelRefocus, this, [this] {
        m_state->setSearchFocused(false);
        focusNextTurn();
    });

    refreshRecent();
    refreshLayouts();
    viewModeChanged();
    tabChanged();
    resize(static_cast<int>(m_state->panelWidth()), static_cast<int>(m_state->panelHeight()));
}

ContentView::~ContentView() {
    removeKeyMonitor();
}

QLineEdit* ContentView::searchField() const {
    return m_searchBar->field();
}
TabBar* ContentView::tabBar() const {
    return m_contentArea->tabBar();
}
ResultsView* ContentView::resultsView() const {
    return m_contentArea->applications()->results();
}
RecentApps* ContentView::recentApps() const {
    return m_contentArea->applications()->recent();
}
LayoutsView* ContentView::layoutsView() const {
    return m_contentArea->layouts();
}

// --- keys

void ContentView::installKeyMonitor() {
    if (m_monitored) {
        return;
    }
    QWindow* panelWindow = window()->windowHandle();
    if (!panelWindow) {
        return;
    }
    panelWindow->installEventFilter(this);
    m_monitored = panelWindow;
}

void ContentView::removeKeyMonitor() {
    if (m_monitored) {
        m_monitored->removeEventFilter(this);
    }
    m_monitored = nullptr;
}

bool ContentView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_monitored && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        return handleKey(m_windows.keyStroke(key->key(), key->modifiers(), key->nativeScanCode()));
    }
    if (watched == searchField()) {
        if (event->type() == QEvent::FocusIn) {
            m_state->setSearchFocused(true);
        } else if (event->type() == QEvent::FocusOut) {
            // The field keeps its claim while another window or a menu has the keyboard: it gets
            // the focus back when the panel is active again.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                m_state->setSearchFocused(false);
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

LauncherKeyContext ContentView::keyContext() const {
    LauncherKeyContext context;
    // The monitor only sits on the panel's own window.
    context.eventInPanel = true;
    context.panelIsKeyWindow = m_monitored && QGuiApplication::focusWindow() == m_monitored;
    context.showOnboarding = m_model.showOnboarding();
    context.tab = m_state->tab();
    context.searchFocused = m_state->searchFocused();
    context.grid = m_state->isGrid();
    context.columns = m_state->gridColumns();
    context.resultCount = static_cast<int>(m_model.results().size());
    context.highlighted = m_model.highlighted();
    context.layoutCount = static_cast<int>(m_layouts.size());
    context.layoutHighlighted = m_state->layoutHighlighted();
    context.selectedCount = static_cast<int>(m_model.selected().size());
    return context;
}

bool ContentView::handleKey(const KeyStroke& key) {
    const LauncherKeyDecision decision = decideLauncherKey(key, keyContext());
    switch (decision.command) {
        case LauncherKeyCommand::None:
            break;
        case LauncherKeyCommand::DismissPanel:
            m_panel.dismissPanel();
            break;
        case LauncherKeyCommand::ClearSelection:
            m_model.clearSelection();
            break;
        case LauncherKeyCommand::ShowApplications:
            openTab(LauncherTab::Applications);
            break;
        case LauncherKeyCommand::ShowLayouts:
            openTab(LauncherTab::Layouts);
            break;
        case LauncherKeyCommand::LaunchSelected:
            launchSelected();
            break;
        case LauncherKeyCommand::SelectHighlightedResult:
            selectHighlightedResult();
            break;
        case LauncherKeyCommand::ChooseLayout:
            chooseLayout(m_layouts.at(decision.index).id);
            break;
        case LauncherKeyCommand::SetHighlighted:
            m_model.setHighlighted(decision.index);
            break;
        case LauncherKeyCommand::SetLayoutHighlighted:
            m_state->setLayoutHighlighted(decision.index);
            break;
        case LauncherKeyCommand::RemoveLastSelected:
            m_model.toggle(m_model.selected().last());
            break;
    }
    return decision.consume;
}

void ContentView::keyPressEvent(QKeyEvent* event) {
    // Escape that no one else took (the monitor lets every key through during onboarding).
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        hidePanel();
        return;
    }
    QWidget::keyPressEvent(event);
}

// --- actions

void ContentView::openTab(LauncherTab tab) {
    m_state->setTab(tab);
    if (tab == LauncherTab::Layouts) {
        m_state->setLayoutHighlighted(-1);
    }
    m_state->setSearchFocused(true);
    applySearchFocus();
}

void ContentView::selectHighlightedResult() {
    const int index = std::max(m_model.highlighted(), 0);
    if (index >= m_model.results().size()) {
        return;
    }
    const InstalledApp app = m_model.results().at(index);
    if (WorkspaceModel::selectionPosition(app, m_model.selected())) {
        m_model.setQuery(QString());
    } else {
        m_model.toggle(app);
    }
}

void ContentView::chooseLayout(const QString& id) {
    m_model.setLayoutID(id);
    if (!m_model.selected().isEmpty()) {
        launchSelected();
    }
}

void ContentView::hidePanel() {
    if (m_panel.isPanelVisible()) {
        m_panel.dismissPanel();
    }
}

void ContentView::launchSelected() {
    m_model.launchSelected([this] { hidePanel(); });
}

// --- reactions to the model and the state

void ContentView::queryChanged() {
    // The recent applications themselves only change with the catalog or the history.
    m_contentArea->applications()->setRecentShown(m_model.query().isEmpty() &&
                                                  !recentApps()->apps().isEmpty());
    if (m_state->tab() == LauncherTab::Applications && searchField()->text() != m_model.query()) {
        searchField()->setText(m_model.query());
    }
}

void ContentView::refreshRecent() {
    const InstalledApps recent = m_model.recentApps();
    recentApps()->setApps(recent);
    m_contentArea->applications()->setRecentShown(m_model.query().isEmpty() && !recent.isEmpty());
}

void ContentView::layoutQueryChanged() {
    refreshLayouts();
    m_state->setLayoutHighlighted(!m_state->layoutQuery().isEmpty() && !m_layouts.isEmpty() ? 0
                                                                                            : -1);
    if (m_state->tab() == LauncherTab::Layouts && searchField()->text() != m_state->layoutQuery()) {
        searchField()->setText(m_state->layoutQuery());
    }
}

void ContentView::refreshLayouts() {
    m_layouts = filteredLayouts(m_state->layoutQuery());
    layoutsView()->setLayouts(m_layouts);
}

void ContentView::tabChanged() {
    QLineEdit* field = searchField();
    if (m_state->tab() == LauncherTab::Applications) {
        field->setPlaceholderText(QStringLiteral("Applications"));
        field->setAccessibleName(QStringLiteral("Search installed apps"));
        field->setText(m_model.query());
    } else {
        field->setPlaceholderText(QStringLiteral("Layouts"));
        field->setAccessibleName(QStringLiteral("Search layouts"));
        field->setText(m_state->layoutQuery());
    }
    resizePanel();
}

void ContentView::viewModeChanged() {
    const bool grid = m_state->isGrid();
    const int columns = m_state->gridColumns();
    resultsView()->setGrid(grid, columns);
    layoutsView()->setGrid(grid, columns);
    recentApps()->setGrid(grid, columns);
    place();
}

void ContentView::applySearchFocus() {
    QLineEdit* field = searchField();
    if (m_state->searchFocused()) {
        if (!field->hasFocus()) {
            field->setFocus(Qt::OtherFocusReason);
        }
    } else if (field->hasFocus()) {
        field->clearFocus();
    }
}

void ContentView::focusNextTurn() {
    // Dropping the focus and taking it again one turn later lets the field take the keyboard
    // in a panel that has only just become active.
    QTimer::singleShot(0, this, [this] {
        m_state->setSearchFocused(true);
        applySearchFocus();
    });
}

void ContentView::resetForPanel() {
    m_state->setTab(LauncherTab::Applications);
    m_state->setLayoutQuery(QString());
    m_state->setLayoutHighlighted(-1);
    m_state->setHoveredLayoutID(QString());
    m_state->setSearchFocused(false);
    m_state->bumpResultsSession();
}

// --- size and shape

void ContentView::resizePanel() {
    const auto frame = resizedPanelFrame(m_panel.panelFrame(), m_panel.panelScreenVisibleFrame(),
                                         m_state->isGrid());
    if (!frame) {
        return;
    }
    m_state->setPanelWidth(frame->width);
    m_state->setPanelHeight(frame->height);
    m_panel.setPanelFrame(*frame);
    place();
}

void ContentView::place() {
    const int width = qRound(m_state->panelWidth());
    const int height = qRound(m_state->panelHeight());
    m_searchBar->move((width - SearchBar::barWidth) / 2, searchBarTop);
    m_contentArea->setGeometry(padding, contentTop, width - 2 * padding, std::max(0, height - 100));
    update();
}

QRegion ContentView::contentShape() const {
    const QRegion bar(capsule(QRectF(m_searchBar->geometry())).toFillPolygon().toPolygon());
    const QRegion area(
        continuousRoundedRect(QRectF(m_contentArea->geometry()), 35).toFillPolygon().toPolygon());
    return bar.united(area);
}

void ContentView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    m_state->setSearchFocused(true);
    applySearchFocus();
    installKeyMonitor();
    resizePanel();
}

void ContentView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous()) {
        removeKeyMonitor();
    }
}

void ContentView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place();
}

void ContentView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), launcherpaint::panelBase());
}

}  // namespace tessora
