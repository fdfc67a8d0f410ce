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
      m_model(model),
      m_state(state),
      m_rowFont(textFont(17, QFont::Medium)),
      m_cellFont(textFont(12, QFont::Medium)) {
    setAccessibleName(QStringLiteral("Layouts"));
    setGrid(false, 4);
    connect(&m_state, &LauncherState::layoutHighlightedChanged, this,
            &LayoutsView::highlightChanged);
    connect(&m_state, &LauncherState::hoveredLayoutIDChanged, viewport(),
            qOverload<>(&QWidget::update));
    connect(&m_model, &WorkspaceModel::layoutIDChanged, viewport(), qOverload<>(&QWidget::update));
}

void LayoutsView::setLayouts(const QList<WindowLayout>& layouts) {
    m_layouts = layouts;
    setItemCount(static_cast<int>(m_layouts.size()));
}

void LayoutsView::setGrid(bool grid, int columns) {
    m_grid = grid;
    setListOrGrid(grid, columns, QMarginsF(24, 6, 24, 24));
}

void LayoutsView::highlightChanged() {
    followHighlight(m_state.layoutHighlighted(), followMilliseconds);
}

bool LayoutsView::itemIsActive(int index) const {
    return index == m_state.layoutHighlighted() ||
           m_layouts.at(index).id == m_state.hoveredLayoutID();
}

QString LayoutsView::itemText(int index) const {
    const WindowLayout& layout = m_layouts.at(index);
    return layoutAccessibleText(layout, layout.id == m_model.layoutID());
}

bool LayoutsView::itemIsHighlighted(int index) const {
    return index == m_state.layoutHighlighted();
}

bool LayoutsView::itemIsSelected(int index) const {
    return m_layouts.at(index).id == m_model.layoutID();
}

void LayoutsView::activateItem(int index) {
    if (index >= 0 && index < m_layouts.size()) {
        emit layoutActivated(index);
    }
}

void LayoutsView::hoverItem(int index) {
    m_state.setHoveredLayoutID(index >= 0 && index < m_layouts.size() ? m_layouts.at(index).id
                                                                      : QString());
}

void LayoutsView::paintItem(QPainter& painter, int index, const QRectF& rect) {
    const WindowLayout& layout = m_layouts.at(index);
    const bool chosen = layout.id == m_model.layoutID();
    painter.setOpacity(itemIsActive(index) ? 1.0 : dimmedOpacity);
    painter.setPen(Qt::white);
    if (!m_grid) {
        const QRectF glyph(rect.left() + 12, rect.center().y() - 20, 60, 40);
        layoutglyph::paint(painter, glyph, layout, chosen);
        double textRight = rect.right() - 12;
        if (chosen) {
            const QRectF check(rect.right() - 12 - 20, rect.center().y() - 10, 20, 20);
            paintCheckCircle(painter, check, contentAreaFill());
            textRight = check.left() - 13;
        }
        painter.setFont(m_rowFont);
        painter.setPen(Qt::white);
        const QRectF text(glyph.right() + 13, rect.top(),
                          std::max(0.0, textRight - glyph.right() - 13), rect.height());
        painter.drawText(
            text, Qt::AlignLeft | Qt::AlignVCenter,
            painter.fontMetrics().elidedText(layout.name, Qt::ElideRight, int(text.width())));
        return;
    }
    painter.setFont(m_cellFont);
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
    painter.drawText(
        text, Qt::AlignHCenter | Qt::AlignVCenter,
        painter.fontMetrics().elidedText(layout.name, Qt::ElideRight, int(text.width())));
}

}  // namespace tessora
