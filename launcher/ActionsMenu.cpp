#include "launcher/ActionsMenu.h"

#include "launcher/LauncherState.h"
#include "workspace/WorkspaceModel.h"

#include <QMenu>
#include <QPainter>

namespace tessora {

namespace {

constexpr auto menuStyle = R"(
QMenu { background: rgb(34, 32, 42); color: white; border: 1px solid rgba(255, 255, 255, 40);
        border-radius: 8px; padding: 5px; }
QMenu::item { padding: 5px 22px 5px 24px; border-radius: 5px; }
QMenu::item:selected { background: rgba(183, 159, 255, 150); }
QMenu::item:disabled { color: rgba(255, 255, 255, 90); }
QMenu::separator { height: 1px; background: rgba(255, 255, 255, 30); margin: 4px 6px; }
QMenu::indicator { width: 14px; height: 14px; left: 6px; }
)";

// The menu's style sheet, given to it when it first opens: a style sheet brings Qt's style
// sheet machinery (its parsed rules and caches, about 0.3 MB) into the resident program, and
// most sessions never open this menu. Opening, the menu is polished again before it is sized.
void styleWhenFirstShown(QMenu* menu) {
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu] {
        if (menu->styleSheet().isEmpty()) {
            menu->setStyleSheet(QString::fromLatin1(menuStyle));
        }
    });
}

}  // namespace

ActionsMenu::ActionsMenu(WorkspaceModel& model, LauncherState& state, std::function<void()> launch,
                         std::function<void()> openSettings, QWidget* parent)
    : QToolButton(parent), m_model(model), m_state(state), m_menu(new QMenu(this)) {
    setAccessibleName(QStringLiteral("Tessora actions"));
    setToolTip(QStringLiteral("Tessora actions"));
    setFocusPolicy(Qt::NoFocus);
    setAutoRaise(true);
    setPopupMode(QToolButton::InstantPopup);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(sizeHint());
    styleWhenFirstShown(m_menu);

    m_launch = m_menu->addAction(QStringLiteral("Launch selected apps"));
    connect(m_launch, &QAction::triggered, this, [launch = std::move(launch)] { launch(); });

    QMenu* view = m_menu->addMenu(QStringLiteral("View content as"));
    styleWhenFirstShown(view);
    m_grid = view->addAction(QStringLiteral("Grid"));
    m_list = view->addAction(QStringLiteral("List"));
    m_grid->setCheckable(true);
    m_list->setCheckable(true);
    connect(m_grid, &QAction::triggered, this, [this] {
        m_state.setAppViewMode(QStringLiteral("grid"));
        refresh();
    });
    connect(m_list, &QAction::triggered, this, [this] {
        m_state.setAppViewMode(QStringLiteral("list"));
        refresh();
    });

    m_clear = m_menu->addAction(QStringLiteral("Clear selection"));
    m_clear->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    connect(m_clear, &QAction::triggered, &m_model, &WorkspaceModel::clearSelection);

    m_menu->addSeparator();
    m_settings = m_menu->addAction(QStringLiteral("Settings…"));
    connect(m_settings, &QAction::triggered, this, [openSettings = std::move(openSettings)] {
        if (openSettings) {
            openSettings();
        }
    });
    setMenu(m_menu);

    connect(&m_model, &WorkspaceModel::selectedChanged, this, &ActionsMenu::refresh);
    connect(&m_model, &WorkspaceModel::busyChanged, this, &ActionsMenu::refresh);
    connect(&m_state, &LauncherState::appViewModeChanged, this, &ActionsMenu::refresh);
    refresh();
}

void ActionsMenu::refresh() {
    m_launch->setEnabled(!m_model.selected().isEmpty() && !m_model.busy());
    // Only the entry equal to the stored mode carries the check.
    m_grid->setChecked(m_state.appViewMode() == QLatin1String("grid"));
    m_list->setChecked(m_state.appViewMode() == QLatin1String("list"));
}

void ActionsMenu::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (underMouse() || isDown()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgbF(1, 1, 1, 0.08f));
        painter.drawEllipse(rect().adjusted(1, 1, -1, -1));
    }
    // The ellipsis symbol: three grey dots.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(142, 142, 147));
    const QPointF centre = QRectF(rect()).center();
    for (int i = -1; i <= 1; ++i) {
        painter.drawEllipse(QPointF(centre.x() + i * 6.5, centre.y()), 2.1, 2.1);
    }
}

}  // namespace tessora
