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
    : QAbstractButton(parent), m_app(app), m_grid(grid), m_model(model), m_icons(icons) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setToolTip(m_app.name);
    refreshAccessibleName();
    connect(&m_icons, &IconCache::iconLoaded, this, [this](const QString& id) {
        if (id == m_app.id) {
            update();
        }
    });
}

void RecentButton::refreshAccessibleName() {
    setAccessibleName(
        recentAccessibleText(m_app, WorkspaceModel::selectionPosition(m_app, m_model.selected())));
}

void RecentButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double dpr = devicePixelRatioF();
    if (!m_grid) {
        painter.drawPixmap(0, 0, m_icons.icon(m_app, listIcon, 14, dpr));
        return;
    }
    const QFont name = textFont(12, QFont::Medium);
    const double lineHeight = QFontMetricsF(name).height();
    const double top = (height() - (62 + 6 + lineHeight)) / 2;
    const QRectF icon(width() / 2.0 - 31, top, 62, 62);
    painter.drawPixmap(icon.topLeft(), m_icons.icon(m_app, 62, 14, dpr));
    if (const auto position = WorkspaceModel::selectionPosition(m_app, m_model.selected())) {
        paintBadge(painter, QRectF(icon.right() - 18 + 5, icon.top() - 5, 18, 18),
                   static_cast<int>(*position) + 1, textFont(10, QFont::Bold), true);
    }
    painter.setFont(name);
    painter.setPen(Qt::white);
    const QRectF text(4, icon.bottom() + 6, width() - 8, lineHeight);
    painter.drawText(
        text, Qt::AlignCenter,
        painter.fontMetrics().elidedText(m_app.name, Qt::ElideMiddle, int(text.width())));
}

RecentApps::RecentApps(WorkspaceModel& model, IconCache& icons, QWidget* parent)
    : QWidget(parent), m_model(model), m_icons(icons) {
    connect(&m_model, &WorkspaceModel::selectedChanged, this, [this] {
        for (RecentButton* button : std::as_const(m_buttons)) {
            button->refreshAccessibleName();
            button->update();
        }
    });
}

void RecentApps::setApps(const InstalledApps& apps) {
    if (apps.size() == m_apps.size() &&
        std::equal(apps.begin(), apps.end(), m_apps.begin(),
                   [](const InstalledApp& a, const InstalledApp& b) {
                       return a.id == b.id && a.name == b.name;
                   })) {
        return;
    }
    m_apps = apps;
    rebuild();
}

void RecentApps::setGrid(bool grid, int columns) {
    if (grid == m_grid && columns == m_columns) {
        return;
    }
    m_grid = grid;
    m_columns = columns;
    rebuild();
}

void RecentApps::rebuild() {
    // A button may be the one being clicked: it goes once its click has been handled.
    for (RecentButton* button : std::as_const(m_buttons)) {
        button->hide();
        button->deleteLater();
    }
    m_buttons.clear();
    for (const InstalledApp& app : std::as_const(m_apps)) {
        auto* button = new RecentButton(app, m_grid, m_model, m_icons, this);
        connect(button, &QAbstractButton::clicked, this, [this, app] { emit appActivated(app); });
        m_buttons.append(button);
    }
    place();
    updateGeometry();
}

double RecentApps::itemsHeight(int width) const {
    if (m_apps.isEmpty()) {
        return 0;
    }
    if (!m_grid) {
        return listIcon;
    }
    return ItemGridGeometry(gridMetrics(m_columns), width - 2 * sidePadding,
                            static_cast<int>(m_apps.size()))
        .contentHeight();
}

int RecentApps::heightForWidth(int width) const {
    if (m_apps.isEmpty()) {
        return 0;
    }
    return static_cast<int>(std::ceil(topPadding + itemsHeight(width) + dividerGap + 1));
}

void RecentApps::place() {
    const ItemGridGeometry cells(gridMetrics(m_columns), width() - 2 * sidePadding,
                                 static_cast<int>(m_buttons.size()));
    // Seven icons at the full spacing are wider than the list panel: the row closes up rather
    // than cutting the last icons off, and drops those that still do not fit.
    const int count = static_cast<int>(m_buttons.size());
    const int available = width() - 2 * sidePadding;
    int spacing = listSpacing;
    if (count > 1 && count * listIcon + (count - 1) * spacing > available) {
        spacing = std::max(minimumListSpacing, (available - count * listIcon) / (count - 1));
    }
    for (int i = 0; i < count; ++i) {
        if (m_grid) {
            m_buttons[i]->setGeometry(
                cells.itemRect(i).translated(sidePadding, topPadding).toRect());
            m_buttons[i]->show();
        } else {
            const int x = sidePadding + i * (listIcon + spacing);
            m_buttons[i]->setGeometry(x, topPadding, listIcon, listIcon);
            m_buttons[i]->setVisible(x + listIcon <= sidePadding + available);
        }
    }
}

void RecentApps::resizeEvent(QResizeEvent*) {
    place();
}

void RecentApps::paintEvent(QPaintEvent*) {
    if (m_apps.isEmpty()) {
        return;
    }
    QPainter painter(this);
    const double y = topPadding + itemsHeight(width()) + dividerGap;
    painter.fillRect(QRectF(sidePadding, y, width() - 2 * sidePadding, 1), white(0.12));
}

}  // namespace tessora
