#include "launcher/RecentApps.h"

#include "launcher/AccessibilityTexts.h"
#include "launcher/IconCache.h"
#include "launcher/ItemGrid.h"
#include "launcher/LauncherPainting.h"
#include "workspace/WorkspaceModel.h"

#include <QPainter>
#include <cmath>

namespace tessora {

using namespace launcherpaint;

namespace {

constexpr int sidePadding = 24;
constexpr int topPadding = 22;
constexpr int dividerGap = 12;
constexpr int listIcon = 64;
constexpr int listSpacing = 22;
constexpr int minimumListSpacing = 6;

ItemGridMetrics gridMetrics(int columns) {
    ItemGridMetrics metrics;
    metrics.columns = columns;
    metrics.itemHeight = 88;
    metrics.rowSpacing = 8;
    metrics.columnSpacing = 8;
    return metrics;
}

}  // namespace

RecentButton::RecentButton(const InstalledApp& app, bool grid, WorkspaceModel& model,
                           IconCache& icons, QWidget* parent)
    : QAbstractButton(parent), app_(app), grid_(grid), model_(model), icons_(icons) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setToolTip(app_.name);
    refreshAccessibleName();
    connect(&icons_, &IconCache::iconLoaded, this, [this](const QString& id) {
        if (id == app_.id) {
            update();
        }
    });
}

void RecentButton::refreshAccessibleName() {
    setAccessibleName(recentAccessibleText(app_, WorkspaceModel::selectionPosition(app_, model_.selected())));
}

void RecentButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double dpr = devicePixelRatioF();
    if (!grid_) {
        painter.drawPixmap(0, 0, icons_.icon(app_, listIcon, 14, dpr));
        return;
    }
    const QFont name = textFont(12, QFont::Medium);
    const double lineHeight = QFontMetricsF(name).height();
    const double top = (height() - (62 + 6 + lineHeight)) / 2;
    const QRectF icon(width() / 2.0 - 31, top, 62, 62);
    painter.drawPixmap(icon.topLeft(), icons_.icon(app_, 62, 14, dpr));
    if (const auto position = WorkspaceModel::selectionPosition(app_, model_.selected())) {
        paintBadge(painter, QRectF(icon.right() - 18 + 5, icon.top() - 5, 18, 18),
                   static_cast<int>(*position) + 1, textFont(10, QFont::Bold), true);
    }
    painter.setFont(name);
    painter.setPen(Qt::white);
    const QRectF text(4, icon.bottom() + 6, width() - 8, lineHeight);
    painter.drawText(text, Qt::AlignCenter,
                     painter.fontMetrics().elidedText(app_.name, Qt::ElideMiddle, int(text.width())));
}

RecentApps::RecentApps(WorkspaceModel& model, IconCache& icons, QWidget* parent)
    : QWidget(parent), model_(model), icons_(icons) {
    connect(&model_, &WorkspaceModel::selectedChanged, this, [this] {
        for (RecentButton* button : std::as_const(buttons_)) {
            button->refreshAccessibleName();
            button->update();
        }
    });
}

void RecentApps::setApps(const InstalledApps& apps) {
    if (apps.size() == apps_.size() &&
        std::equal(apps.begin(), apps.end(), apps_.begin(),
                   [](const InstalledApp& a, const InstalledApp& b) { return a.id == b.id && a.name == b.name; })) {
        return;
    }
    apps_ = apps;
    rebuild();
}

void RecentApps::setGrid(bool grid, int columns) {
    if (grid == grid_ && columns == columns_) {
        return;
    }
    grid_ = grid;
    columns_ = columns;
    rebuild();
}

void RecentApps::rebuild() {
    // A button may be the one being clicked: it goes once its click has been handled.
    for (RecentButton* button : std::as_const(buttons_)) {
        button->hide();
        button->deleteLater();
    }
    buttons_.clear();
    for (const InstalledApp& app : std::as_const(apps_)) {
        auto* button = new RecentButton(app, grid_, model_, icons_, this);
        connect(button, &QAbstractButton::clicked, this, [this, app] { emit appActivated(app); });
        buttons_.append(button);
    }
    place();
    updateGeometry();
}

double RecentApps::itemsHeight(int width) const {
    if (apps_.isEmpty()) {
        return 0;
    }
    if (!grid_) {
        return listIcon;
    }
    return ItemGridGeometry(gridMetrics(columns_), width - 2 * sidePadding, static_cast<int>(apps_.size()))
        .contentHeight();
}

int RecentApps::heightForWidth(int width) const {
    if (apps_.isEmpty()) {
        return 0;
    }
    return static_cast<int>(std::ceil(topPadding + itemsHeight(width) + dividerGap + 1));
}

void RecentApps::place() {
    const ItemGridGeometry cells(gridMetrics(columns_), width() - 2 * sidePadding,
                                 static_cast<int>(buttons_.size()));
    // Seven icons at the full spacing are wider than the list panel: the row closes up rather
    // than cutting the last icons off, and drops those that still do not fit.
    const int count = static_cast<int>(buttons_.size());
    const int available = width() - 2 * sidePadding;
    int spacing = listSpacing;
    if (count > 1 && count * listIcon + (count - 1) * spacing > available) {
        spacing = std::max(minimumListSpacing, (available - count * listIcon) / (count - 1));
    }
    for (int i = 0; i < count; ++i) {
        if (grid_) {
            buttons_[i]->setGeometry(cells.itemRect(i).translated(sidePadding, topPadding).toRect());
            buttons_[i]->show();
        } else {
            const int x = sidePadding + i * (listIcon + spacing);
            buttons_[i]->setGeometry(x, topPadding, listIcon, listIcon);
            buttons_[i]->setVisible(x + listIcon <= sidePadding + available);
        }
    }
}

void RecentApps::resizeEvent(QResizeEvent*) {
    place();
}

void RecentApps::paintEvent(QPaintEvent*) {
    if (apps_.isEmpty()) {
        return;
    }
    QPainter painter(this);
    const double y = topPadding + itemsHeight(width()) + dividerGap;
    painter.fillRect(QRectF(sidePadding, y, width() - 2 * sidePadding, 1), white(0.12));
}

}  // namespace tessora
