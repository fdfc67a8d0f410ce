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
      model_(model),
      icons_(icons),
      rowFont_(textFont(19, QFont::Medium)),
      cellFont_(textFont(12, QFont::Medium)),
      badgeFont_(textFont(10, QFont::Bold)) {
    setAccessibleName(QStringLiteral("Applications"));
    setGrid(false, columns_);
    connect(&model_, &WorkspaceModel::highlightedChanged, this, &ResultsView::highlightChanged);
    connect(&model_, &WorkspaceModel::selectedChanged, viewport(), qOverload<>(&QWidget::update));
    connect(&icons_, &IconCache::iconLoaded, viewport(), qOverload<>(&QWidget::update));
}

void ResultsView::setResults(const InstalledApps& results) {
    const bool newLeader = !results.isEmpty() && (results_.isEmpty() || results_.first().id != results.first().id);
    results_ = results;
    setItemCount(static_cast<int>(results_.size()));
    if (newLeader) {
        scrollToTop();
    }
}

void ResultsView::setGrid(bool grid, int columns) {
    grid_ = grid;
    columns_ = columns;
    setListOrGrid(grid, columns, QMarginsF(12, 12, 12, 12));
}

void ResultsView::highlightChanged() {
    followHighlight(model_.highlighted(), followMilliseconds);
}

QString ResultsView::itemText(int index) const {
    const InstalledApp& app = results_.at(index);
    return resultAccessibleText(app, WorkspaceModel::selectionPosition(app, model_.selected()));
}

bool ResultsView::itemIsHighlighted(int index) const {
    return index == model_.highlighted();
}

bool ResultsView::itemIsSelected(int index) const {
    return WorkspaceModel::selectionPosition(results_.at(index), model_.selected()).has_value();
}

void ResultsView::activateItem(int index) {
    if (index >= 0 && index < results_.size()) {
        emit appActivated(results_.at(index));
    }
}

void ResultsView::paintItem(QPainter& painter, int index, const QRectF& rect) {
    const InstalledApp& app = results_.at(index);
    const auto position = WorkspaceModel::selectionPosition(app, model_.selected());
    if (grid_) {
        paintCell(painter, app, rect, index == model_.highlighted(), position);
    } else {
        paintRow(painter, app, rect, index == model_.highlighted(), position);
    }
}

void ResultsView::paintRow(QPainter& painter, const InstalledApp& app, const QRectF& rect,
                           bool highlighted, std::optional<qsizetype> position) {
    if (highlighted) {
        fillRounded(painter, rect, 12, white(0.09));
    }
    const double dpr = devicePixelRatioF();
    const QRectF icon(rect.left() + 16, rect.center().y() - 22, 44, 44);
    painter.drawPixmap(icon.topLeft(), icons_.icon(app, 44, 10, dpr));
    double textRight = rect.right() - 16;
    if (position) {
        const QRectF badge(rect.right() - 16 - 22, rect.center().y() - 11, 22, 22);
        paintBadge(painter, badge, static_cast<int>(*position) + 1, badgeFont_, false);
        textRight = badge.left() - 16;
    }
    const QRectF text(icon.right() + 16, rect.top(), std::max(0.0, textRight - icon.right() - 16),
                      rect.height());
    painter.setFont(rowFont_);
    painter.setPen(Qt::white);
    const QString name = painter.fontMetrics().elidedText(app.name, Qt::ElideRight, int(text.width()));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, name);
}

void ResultsView::paintCell(QPainter& painter, const InstalledApp& app, const QRectF& rect,
                            bool highlighted, std::optional<qsizetype> position) {
    if (highlighted) {
        fillRounded(painter, rect, 12, white(0.1));
    }
    painter.setFont(cellFont_);
    const double lineHeight = painter.fontMetrics().height();
    const double contentHeight = 62 + 7 + lineHeight;
    const double top = rect.top() + (rect.height() - contentHeight) / 2;
    const QRectF icon(rect.center().x() - 31, top, 62, 62);
    painter.drawPixmap(icon.topLeft(), icons_.icon(app, 62, 14, devicePixelRatioF()));
    if (position) {
        paintBadge(painter, QRectF(icon.right() - 18 + 5, icon.top() - 5, 18, 18),
                   static_cast<int>(*position) + 1, badgeFont_, true);
    }
    const QRectF text(rect.left() + 4, icon.bottom() + 7, rect.width() - 8, lineHeight);
    painter.setFont(cellFont_);
    painter.setPen(Qt::white);
    const QString name = painter.fontMetrics().elidedText(app.name, Qt::ElideMiddle, int(text.width()));
    painter.drawText(text, Qt::AlignHCenter | Qt::AlignVCenter, name);
}

}  // namespace tessora
