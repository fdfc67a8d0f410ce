#include "launcher/LayoutsView.h"

#include "launcher/AccessibilityTexts.h"
#include "launcher/LauncherPainting.h"
#include "launcher/LauncherState.h"
#include "launcher/LayoutGlyph.h"
#include "workspace/WorkspaceModel.h"

#include <QPainter>

namespace tessora {

using namespace launcherpaint;

LayoutsView::LayoutsView(WorkspaceModel& model, LauncherState& state, QWidget* parent)
    : ItemScrollView(parent),
      model_(model),
      state_(state),
      rowFont_(textFont(17, QFont::Medium)),
      cellFont_(textFont(12, QFont::Medium)) {
    setAccessibleName(QStringLiteral("Layouts"));
    setGrid(false, 4);
    connect(&state_, &LauncherState::layoutHighlightedChanged, this, &LayoutsView::highlightChanged);
    connect(&state_, &LauncherState::hoveredLayoutIDChanged, viewport(), qOverload<>(&QWidget::update));
    connect(&model_, &WorkspaceModel::layoutIDChanged, viewport(), qOverload<>(&QWidget::update));
}

void LayoutsView::setLayouts(const QList<WindowLayout>& layouts) {
    layouts_ = layouts;
    setItemCount(static_cast<int>(layouts_.size()));
}

void LayoutsView::setGrid(bool grid, int columns) {
    grid_ = grid;
    setListOrGrid(grid, columns, QMarginsF(24, 6, 24, 24));
}

void LayoutsView::highlightChanged() {
    followHighlight(state_.layoutHighlighted(), followMilliseconds);
}

bool LayoutsView::itemIsActive(int index) const {
    return index == state_.layoutHighlighted() || layouts_.at(index).id == state_.hoveredLayoutID();
}

QString LayoutsView::itemText(int index) const {
    const WindowLayout& layout = layouts_.at(index);
    return layoutAccessibleText(layout, layout.id == model_.layoutID());
}

bool LayoutsView::itemIsHighlighted(int index) const {
    return index == state_.layoutHighlighted();
}

bool LayoutsView::itemIsSelected(int index) const {
    return layouts_.at(index).id == model_.layoutID();
}

void LayoutsView::activateItem(int index) {
    if (index >= 0 && index < layouts_.size()) {
        emit layoutActivated(index);
    }
}

void LayoutsView::hoverItem(int index) {
    state_.setHoveredLayoutID(index >= 0 && index < layouts_.size() ? layouts_.at(index).id : QString());
}

void LayoutsView::paintItem(QPainter& painter, int index, const QRectF& rect) {
    const WindowLayout& layout = layouts_.at(index);
    const bool chosen = layout.id == model_.layoutID();
    painter.setOpacity(itemIsActive(index) ? 1.0 : dimmedOpacity);
    painter.setPen(Qt::white);
    if (!grid_) {
        const QRectF glyph(rect.left() + 12, rect.center().y() - 20, 60, 40);
        layoutglyph::paint(painter, glyph, layout, chosen);
        double textRight = rect.right() - 12;
        if (chosen) {
            const QRectF check(rect.right() - 12 - 20, rect.center().y() - 10, 20, 20);
            paintCheckCircle(painter, check, contentAreaFill());
            textRight = check.left() - 13;
        }
        painter.setFont(rowFont_);
        painter.setPen(Qt::white);
        const QRectF text(glyph.right() + 13, rect.top(), std::max(0.0, textRight - glyph.right() - 13),
                          rect.height());
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                         painter.fontMetrics().elidedText(layout.name, Qt::ElideRight, int(text.width())));
        return;
    }
    painter.setFont(cellFont_);
    const double lineHeight = painter.fontMetrics().height();
    const double top = rect.top() + (rect.height() - (62 + 7 + lineHeight)) / 2;
    const QRectF glyph(rect.center().x() - 45, top, 90, 62);
    layoutglyph::paint(painter, glyph, layout, chosen);
    if (chosen) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawEllipse(QRectF(glyph.right() - 8 + 3, glyph.top() - 3, 8, 8));
    }
    painter.setPen(Qt::white);
    const QRectF text(rect.left() + 4, glyph.bottom() + 7, rect.width() - 8, lineHeight);
    painter.drawText(text, Qt::AlignHCenter | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(layout.name, Qt::ElideRight, int(text.width())));
}

}  // namespace tessora
