#include "launcher/ResultsView.h"

#include "launcher/AccessibilityTexts.h"
#include "launcher/IconCache.h"
#include "launcher/LauncherPainting.h"
#include "workspace/WorkspaceModel.h"

#include <QPainter>

namespace tessora {

using namespace launcherpaint;

ResultsView::ResultsView(WorkspaceModel& model, IconCache& icons, QWidget* parent)
    : ItemScrollView(parent),
      m_model(model),
      m_icons(icons),
      m_rowFont(textFont(19, QFont::Medium)),
      m_cellFont(textFont(12, QFont::Medium)),
      m_badgeFont(textFont(10, QFont::Bold)) {
    setAccessibleName(QStringLiteral("Applications"));
    setGrid(false, m_columns);
    connect(&m_model, &WorkspaceModel::resultsChanged, this, &ResultsView::resultsChanged);
    connect(&m_model, &WorkspaceModel::highlightedChanged, this, &ResultsView::highlightChanged);
    connect(&m_model, &WorkspaceModel::selectedChanged, viewport(), qOverload<>(&QWidget::update));
    connect(&m_icons, &IconCache::iconLoaded, viewport(), qOverload<>(&QWidget::update));
    resultsChanged();
}

void ResultsView::resultsChanged() {
    const InstalledApps& results = m_model.results();
    const QString leader = results.isEmpty() ? QString() : results.first().id;
    const bool newLeader = !leader.isEmpty() && leader != m_leaderId;
    m_leaderId = leader;
    setItemCount(static_cast<int>(results.size()));
    if (newLeader) {
        scrollToTop();
    }
}

void ResultsView::setGrid(bool grid, int columns) {
    m_grid = grid;
    m_columns = columns;
    setListOrGrid(grid, columns, QMarginsF(12, 12, 12, 12));
}

void ResultsView::highlightChanged() {
    followHighlight(m_model.highlighted(), followMilliseconds);
}

QString ResultsView::itemText(int index) const {
    const InstalledApp& app = m_model.results().at(index);
    return resultAccessibleText(app, WorkspaceModel::selectionPosition(app, m_model.selected()));
}

bool ResultsView::itemIsHighlighted(int index) const {
    return index == m_model.highlighted();
}

bool ResultsView::itemIsSelected(int index) const {
    return WorkspaceModel::selectionPosition(m_model.results().at(index), m_model.selected())
        .has_value();
}

void ResultsView::activateItem(int index) {
    if (index >= 0 && index < m_model.results().size()) {
        emit appActivated(m_model.results().at(index));
    }
}

void ResultsView::paintItem(QPainter& painter, int index, const QRectF& rect) {
    const InstalledApp& app = m_model.results().at(index);
    const auto position = WorkspaceModel::selectionPosition(app, m_model.selected());
    if (m_grid) {
        paintCell(painter, app, rect, index == m_model.highlighted(), position);
    } else {
        paintRow(painter, app, rect, index == m_model.highlighted(), position);
    }
}

void ResultsView::paintRow(QPainter& painter, const InstalledApp& app, const QRectF& rect,
                           bool highlighted, std::optional<qsizetype> position) {
    if (highlighted) {
        fillRounded(painter, rect, 12, white(0.09));
    }
    const double dpr = devicePixelRatioF();
    const QRectF icon(rect.left() + 16, rect.center().y() - 22, 44, 44);
    painter.drawPixmap(icon.topLeft(), m_icons.icon(app, 44, 10, dpr));
    double textRight = rect.right() - 16;
    if (position) {
        const QRectF badge(rect.right() - 16 - 22, rect.center().y() - 11, 22, 22);
        paintBadge(painter, badge, static_cast<int>(*position) + 1, m_badgeFont, false);
        textRight = badge.left() - 16;
    }
    const QRectF text(icon.right() + 16, rect.top(), std::max(0.0, textRight - icon.right() - 16),
                      rect.height());
    painter.setFont(m_rowFont);
    painter.setPen(Qt::white);
    const QString name =
        painter.fontMetrics().elidedText(app.name, Qt::ElideRight, int(text.width()));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, name);
}

void ResultsView::paintCell(QPainter& painter, const InstalledApp& app, const QRectF& rect,
                            bool highlighted, std::optional<qsizetype> position) {
    if (highlighted) {
        fillRounded(painter, rect, 12, white(0.1));
    }
    painter.setFont(m_cellFont);
    const double lineHeight = painter.fontMetrics().height();
    const double contentHeight = 62 + 7 + lineHeight;
    const double top = rect.top() + (rect.height() - contentHeight) / 2;
    const QRectF icon(rect.center().x() - 31, top, 62, 62);
    painter.drawPixmap(icon.topLeft(), m_icons.icon(app, 62, 14, devicePixelRatioF()));
    if (position) {
        paintBadge(painter, QRectF(icon.right() - 18 + 5, icon.top() - 5, 18, 18),
                   static_cast<int>(*position) + 1, m_badgeFont, true);
    }
    const QRectF text(rect.left() + 4, icon.bottom() + 7, rect.width() - 8, lineHeight);
    painter.setFont(m_cellFont);
    painter.setPen(Qt::white);
    const QString name =
        painter.fontMetrics().elidedText(app.name, Qt::ElideMiddle, int(text.width()));
    painter.drawText(text, Qt::AlignHCenter | Qt::AlignVCenter, name);
}

}  // namespace tessora
