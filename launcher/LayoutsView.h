#pragma once

#include "launcher/ItemScrollView.h"
#include "workspace/WindowLayout.h"

#include <QFont>
#include <QList>

namespace tessora {

class LauncherState;
class WorkspaceModel;

// The layouts tab's list: rows (list) or cells (grid) with the layout's glyph and name. The
// chosen layout (the model's layoutID) carries a check; items that are neither highlighted nor
// under the pointer are dimmed. Hovering sets the state's hoveredLayoutID; the view follows the
// keyboard highlight with a short eased scroll.
class LayoutsView : public ItemScrollView {
    Q_OBJECT

public:
    static constexpr int followMilliseconds = 120;
    static constexpr double dimmedOpacity = 0.82;

    LayoutsView(WorkspaceModel& model, LauncherState& state, QWidget* parent = nullptr);

    void setLayouts(const QList<WindowLayout>& layouts);
    const QList<WindowLayout>& layouts() const { return m_layouts; }
    void setGrid(bool grid, int columns);

    // Fully opaque: highlighted by the keyboard or under the pointer.
    bool itemIsActive(int index) const;
    QString itemText(int index) const override;
    bool itemIsHighlighted(int index) const override;
    bool itemIsSelected(int index) const override;
    void activateItem(int index) override;

signals:
    void layoutActivated(int index);

protected:
    void paintItem(QPainter& painter, int index, const QRectF& rect) override;
    void hoverItem(int index) override;

private:
    void highlightChanged();

    WorkspaceModel& m_model;
    LauncherState& m_state;
    QList<WindowLayout> m_layouts;
    bool m_grid = false;
    QFont m_rowFont;
    QFont m_cellFont;
};

}  // namespace tessora
