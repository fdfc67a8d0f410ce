#include "launcher/ContentView.h"

#include "launcher/ActionsMenu.h"
#include "launcher/ContentArea.h"
#include "launcher/IconCache.h"
#include "launcher/ItemAccessibility.h"
#include "launcher/KeyNormalization.h"
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

ContentView::ContentView(WorkspaceModel& model, DefaultsStore& defaults, PanelHost& panel,
                         PanelNotifier& notifier, std::function<void()> openSettings, QWidget* parent)
    : QWidget(parent),
      model_(model),
      panel_(panel),
      openSettings_(std::move(openSettings)),
      state_(new LauncherState(defaults, this)),
      icons_(new IconCache(this)) {
    installLauncherAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
    actions_ = new ActionsMenu(
        model_, *state_, [this] { launchSelected(); },
        [this] {
            if (openSettings_) {
                openSettings_();
            }
        });
    searchBar_ = new SearchBar(model_, *icons_, actions_, this);
    contentArea_ = new ContentArea(model_, *state_, *icons_, this);
    // The menu's shortcut also works while the menu is closed.
    actions_->clearAction()->setShortcutContext(Qt::WindowShortcut);
    addAction(actions_->clearAction());

    QLineEdit* field = searchField();
    field->installEventFilter(this);
    connect(field, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (state_->tab() == LauncherTab::Applications) {
            model_.setQuery(text);
        } else {
            state_->setLayoutQuery(text);
        }
    });
    connect(field, &QLineEdit::returnPressed, this, [this] {
        if (state_->tab() == LauncherTab::Applications && !model_.query().isEmpty()) {
            selectHighlightedResult();
        }
    });

    connect(&model_, &WorkspaceModel::queryChanged, this, &ContentView::queryChanged);
    connect(&model_, &WorkspaceModel::appsChanged, this, [this] {
        refreshResults();
        refreshRecent();
    });
    connect(&model_, &WorkspaceModel::recentIDsChanged, this, &ContentView::refreshRecent);

    connect(state_, &LauncherState::tabChanged, this, &ContentView::tabChanged);
    connect(state_, &LauncherState::layoutQueryChanged, this, &ContentView::layoutQueryChanged);
    connect(state_, &LauncherState::appViewModeChanged, this, [this] {
        viewModeChanged();
        resizePanel();
    });
    connect(state_, &LauncherState::panelWidthChanged, this, &ContentView::viewModeChanged);
    connect(state_, &LauncherState::panelHeightChanged, this, &ContentView::place);
    connect(state_, &LauncherState::searchFocusedChanged, this, &ContentView::applySearchFocus);
    connect(state_, &LauncherState::resultsSessionChanged, this, [this] {
        resultsView()->restart();
        layoutsView()->restart();
    });

    connect(tabBar(), &TabBar::pillActivated, this, [this](LauncherTab tab) {
        state_->setTab(tab);
        if (tab == LauncherTab::Layouts) {
            state_->setLayoutHighlighted(-1);
            state_->setHoveredLayoutID(QString());
        }
        state_->setSearchFocused(true);
        applySearchFocus();
    });
    const auto selectApp = [this](const InstalledApp& app) {
        model_.toggle(app);
        state_->setSearchFocused(true);
        applySearchFocus();
    };
    connect(resultsView(), &ResultsView::appActivated, this, selectApp);
    connect(recentApps(), &RecentApps::appActivated, this, selectApp);
    connect(layoutsView(), &LayoutsView::layoutActivated, this, [this](int index) {
        state_->setLayoutHighlighted(index);
        chooseLayout(layouts_.at(index).id);
    });

    connect(&notifier, &PanelNotifier::casementPanelHidden, this, &ContentView::resetForPanel);
    connect(&notifier, &PanelNotifier::casementPanelShown, this, [this] {
        resetForPanel();
        if (model_.highlighted() != -1) {
            model_.setHighlighted(-1);
        }
        // Running applications lead an empty search, and they may have changed meanwhile.
        refreshResults();
        resizePanel();
        state_->setSearchFocused(false);
        focusNextTurn();
    });
    connect(&notifier, &PanelNotifier::casementPanelRefocus, this, [this] {
        state_->setSearchFocused(false);
        focusNextTurn();
    });

    refreshResults();
    refreshRecent();
    refreshLayouts();
    viewModeChanged();
    tabChanged();
    resize(static_cast<int>(state_->panelWidth()), static_cast<int>(state_->panelHeight()));
}

ContentView::~ContentView() {
    removeKeyMonitor();
}

QLineEdit* ContentView::searchField() const { return searchBar_->field(); }
TabBar* ContentView::tabBar() const { return contentArea_->tabBar(); }
ResultsView* ContentView::resultsView() const { return contentArea_->applications()->results(); }
RecentApps* ContentView::recentApps() const { return contentArea_->applications()->recent(); }
LayoutsView* ContentView::layoutsView() const { return contentArea_->layouts(); }

// --- keys

void ContentView::installKeyMonitor() {
    if (monitored_) {
        return;
    }
    QWindow* panelWindow = window()->windowHandle();
    if (!panelWindow) {
        return;
    }
    panelWindow->installEventFilter(this);
    monitored_ = panelWindow;
}

void ContentView::removeKeyMonitor() {
    if (monitored_) {
        monitored_->removeEventFilter(this);
    }
    monitored_ = nullptr;
}

bool ContentView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == monitored_ && event->type() == QEvent::KeyPress) {
        return handleKey(normalizedKey(*static_cast<QKeyEvent*>(event)));
    }
    if (watched == searchField()) {
        if (event->type() == QEvent::FocusIn) {
            state_->setSearchFocused(true);
        } else if (event->type() == QEvent::FocusOut) {
            // The field keeps its claim while another window or a menu has the keyboard: it gets
            // the focus back when the panel is active again.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                state_->setSearchFocused(false);
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

LauncherKeyContext ContentView::keyContext() const {
    LauncherKeyContext context;
    // The monitor only sits on the panel's own window.
    context.eventInPanel = true;
    context.panelIsKeyWindow = monitored_ && QGuiApplication::focusWindow() == monitored_;
    context.showOnboarding = model_.showOnboarding();
    context.tab = state_->tab();
    context.searchFocused = state_->searchFocused();
    context.grid = state_->isGrid();
    context.columns = state_->gridColumns();
    context.resultCount = static_cast<int>(results_.size());
    context.highlighted = model_.highlighted();
    context.layoutCount = static_cast<int>(layouts_.size());
    context.layoutHighlighted = state_->layoutHighlighted();
    context.selectedCount = static_cast<int>(model_.selected().size());
    return context;
}

bool ContentView::handleKey(const KeyInput& key) {
    const LauncherKeyDecision decision = decideLauncherKey(key, keyContext());
    switch (decision.command) {
    case LauncherKeyCommand::None:
        break;
    case LauncherKeyCommand::DismissPanel:
        panel_.dismissPanel();
        break;
    case LauncherKeyCommand::ClearSelection:
        model_.clearSelection();
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
        chooseLayout(layouts_.at(decision.index).id);
        break;
    case LauncherKeyCommand::SetHighlighted:
        model_.setHighlighted(decision.index);
        break;
    case LauncherKeyCommand::SetLayoutHighlighted:
        state_->setLayoutHighlighted(decision.index);
        break;
    case LauncherKeyCommand::RemoveLastSelected:
        model_.toggle(model_.selected().last());
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
    state_->setTab(tab);
    if (tab == LauncherTab::Layouts) {
        state_->setLayoutHighlighted(-1);
    }
    state_->setSearchFocused(true);
    applySearchFocus();
}

void ContentView::selectHighlightedResult() {
    const int index = std::max(model_.highlighted(), 0);
    if (index >= results_.size()) {
        return;
    }
    const InstalledApp app = results_.at(index);
    if (WorkspaceModel::selectionPosition(app, model_.selected())) {
        model_.setQuery(QString());
    } else {
        model_.toggle(app);
    }
}

void ContentView::chooseLayout(const QString& id) {
    model_.setLayoutID(id);
    if (!model_.selected().isEmpty()) {
        launchSelected();
    }
}

void ContentView::hidePanel() {
    if (panel_.isPanelVisible()) {
        panel_.dismissPanel();
    }
}

void ContentView::launchSelected() {
    model_.launchSelected([this] { hidePanel(); });
}

// --- reactions to the model and the state

void ContentView::queryChanged() {
    refreshResults();
    const int highlight = model_.query().isEmpty() ? -1 : 0;
    if (model_.highlighted() != highlight) {
        model_.setHighlighted(highlight);
    }
    // The recent applications themselves only change with the catalog or the history.
    contentArea_->applications()->setRecentShown(model_.query().isEmpty() && !recentApps()->apps().isEmpty());
    if (state_->tab() == LauncherTab::Applications && searchField()->text() != model_.query()) {
        searchField()->setText(model_.query());
    }
}

void ContentView::refreshResults() {
    results_ = model_.results();
    resultsView()->setResults(results_);
}

void ContentView::refreshRecent() {
    const InstalledApps recent = model_.recentApps();
    recentApps()->setApps(recent);
    contentArea_->applications()->setRecentShown(model_.query().isEmpty() && !recent.isEmpty());
}

void ContentView::layoutQueryChanged() {
    refreshLayouts();
    state_->setLayoutHighlighted(!state_->layoutQuery().isEmpty() && !layouts_.isEmpty() ? 0 : -1);
    if (state_->tab() == LauncherTab::Layouts && searchField()->text() != state_->layoutQuery()) {
        searchField()->setText(state_->layoutQuery());
    }
}

void ContentView::refreshLayouts() {
    layouts_ = filteredLayouts(state_->layoutQuery());
    layoutsView()->setLayouts(layouts_);
}

void ContentView::tabChanged() {
    QLineEdit* field = searchField();
    if (state_->tab() == LauncherTab::Applications) {
        field->setPlaceholderText(QStringLiteral("Applications"));
        field->setAccessibleName(QStringLiteral("Search installed apps"));
        field->setText(model_.query());
    } else {
        field->setPlaceholderText(QStringLiteral("Layouts"));
        field->setAccessibleName(QStringLiteral("Search layouts"));
        field->setText(state_->layoutQuery());
    }
    resizePanel();
}

void ContentView::viewModeChanged() {
    const bool grid = state_->isGrid();
    const int columns = state_->gridColumns();
    resultsView()->setGrid(grid, columns);
    layoutsView()->setGrid(grid, columns);
    recentApps()->setGrid(grid, columns);
    place();
}

void ContentView::applySearchFocus() {
    QLineEdit* field = searchField();
    if (state_->searchFocused()) {
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
        state_->setSearchFocused(true);
        applySearchFocus();
    });
}

void ContentView::resetForPanel() {
    state_->setTab(LauncherTab::Applications);
    state_->setLayoutQuery(QString());
    state_->setLayoutHighlighted(-1);
    state_->setHoveredLayoutID(QString());
    state_->setSearchFocused(false);
    state_->bumpResultsSession();
}

// --- size and shape

void ContentView::resizePanel() {
    const auto frame = resizedPanelFrame(panel_.panelFrame(), panel_.panelScreenVisibleFrame(), state_->isGrid());
    if (!frame) {
        return;
    }
    state_->setPanelWidth(frame->width);
    state_->setPanelHeight(frame->height);
    panel_.setPanelFrame(*frame);
    place();
}

void ContentView::place() {
    const int width = qRound(state_->panelWidth());
    const int height = qRound(state_->panelHeight());
    searchBar_->move((width - SearchBar::barWidth) / 2, searchBarTop);
    contentArea_->setGeometry(padding, contentTop, width - 2 * padding, std::max(0, height - 100));
    update();
}

QRegion ContentView::contentShape() const {
    const QRegion bar(capsule(QRectF(searchBar_->geometry())).toFillPolygon().toPolygon());
    const QRegion area(continuousRoundedRect(QRectF(contentArea_->geometry()), 35).toFillPolygon().toPolygon());
    return bar.united(area);
}

void ContentView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    state_->setSearchFocused(true);
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
