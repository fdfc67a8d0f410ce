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

}  // namespace

ActionsMenu::ActionsMenu(WorkspaceModel& model, LauncherState& state, std::function<void()> launch,
                         std::function<void()> openSettings, QWidget* parent)
    : QToolButton(parent), model_(model), state_(state), menu_(new QMenu(this)) {
    setAccessibleName(QStringLiteral("Tessora actions"));
    setToolTip(QStringLiteral("Tessora actions"));
    setFocusPolicy(Qt::NoFocus);
    setAutoRaise(true);
    setPopupMode(QToolButton::InstantPopup);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(sizeHint());
    menu_->setStyleSheet(QString::fromLatin1(menuStyle));

    launch_ = menu_->addAction(QStringLiteral("Launch selected apps"));
    connect(launch_, &QAction::triggered, this, [launch = std::move(launch)] { launch(); });

    QMenu* view = menu_->addMenu(QStringLiteral("View content as"));
    view->setStyleSheet(QString::fromLatin1(menuStyle));
    grid_ = view->addAction(QStringLiteral("Grid"));
    list_ = view->addAction(QStringLiteral("List"));
    grid_->setCheckable(true);
    list_->setCheckable(true);
    connect(grid_, &QAction::triggered, this, [this] {
        state_.setAppViewMode(QStringLiteral("grid"));
        refresh();
    });
    connect(list_, &QAction::triggered, this, [this] {
        state_.setAppViewMode(QStringLiteral("list"));
        refresh();
    });

    clear_ = menu_->addAction(QStringLiteral("Clear selection"));
    clear_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    connect(clear_, &QAction::triggered, &model_, &WorkspaceModel::clearSelection);

    menu_->addSeparator();
    settings_ = menu_->addAction(QStringLiteral("Settings…"));
    connect(settings_, &QAction::triggered, this, [openSettings = std::move(openSettings)] {
        if (openSettings) {
            openSettings();
        }
    });
    setMenu(menu_);

    connect(&model_, &WorkspaceModel::selectedChanged, this, &ActionsMenu::refresh);
    connect(&model_, &WorkspaceModel::busyChanged, this, &ActionsMenu::refresh);
    connect(&state_, &LauncherState::appViewModeChanged, this, &ActionsMenu::refresh);
    refresh();
}

void ActionsMenu::refresh() {
    launch_->setEnabled(!model_.selected().isEmpty() && !model_.busy());
    // Only the entry equal to the stored mode carries the check.
    grid_->setChecked(state_.appViewMode() == QLatin1String("grid"));
    list_->setChecked(state_.appViewMode() == QLatin1String("list"));
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
