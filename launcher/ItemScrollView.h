#pragma once

#include "launcher/ItemGrid.h"

#include <QAbstractScrollArea>
#include <utility>

class QVariantAnimation;

namespace tessora {

// A scrolled list or grid of painted items (results, layouts). Only the items in view are
// painted and nothing exists per item, so ten thousand items cost no more than ten. Items are
// activated by a click (press and release on the same item); subclasses paint them and say
// what they are for accessibility (see ItemAccessibility).
class ItemScrollView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit ItemScrollView(QWidget* parent = nullptr);
    ~ItemScrollView() override;

    void setItemMetrics(const ItemGridMetrics& metrics);
    // One column of rows, or a grid of `columns` cells with the launcher's cell height and
    // spacing, inside `padding`.
    void setListOrGrid(bool grid, int columns, const QMarginsF& padding);
    void setItemCount(int count);
    int itemCount() const { return m_count; }
    const ItemGridGeometry& itemGeometry() const { return m_geometry; }
    // The item's rectangle in viewport coordinates at the current scroll position.
    QRectF itemRectInViewport(int index) const;
    // Items at least partly in view: first and one past the last.
    std::pair<int, int> visibleItems() const;

    // Brings the item fully into view with the least scrolling, eased out over `milliseconds`
    // (0: at once). Indices outside the list are ignored.
    void revealItem(int index, int milliseconds);
    // Jumps to the top, stopping any scrolling.
    void scrollToTop();
    // As if built anew: at the top, nothing hovered or pressed.
    void restart();
    // Where the view is scrolling to; the current position when it is not moving.
    int scrollTarget() const;
    bool isScrolling() const;

    // For accessibility and subclasses.
    virtual QString itemText(int index) const = 0;
    virtual bool itemIsHighlighted(int index) const = 0;
    virtual bool itemIsSelected(int index) const = 0;
    virtual void activateItem(int index) = 0;
    // Tells assistive technology that the highlighted item changed.
    void announceHighlight(int index);
    // Repaints for a new highlight; one in the list is brought into view over `milliseconds`
    // and announced, a stale one is ignored.
    void followHighlight(int index, int milliseconds);

signals:
    void scrollFinished();

protected:
    virtual void paintItem(QPainter& painter, int index, const QRectF& rect) = 0;
    // The pointer moved onto an item, or off every item (-1).
    virtual void hoverItem(int index);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void relayout();
    int itemAtViewport(QPointF point) const;
    void setHovered(int index);

    ItemGridMetrics m_metrics;
    ItemGridGeometry m_geometry;
    int m_count = 0;
    QVariantAnimation* m_scroll;
    int m_pressed = -1;
    int m_hovered = -1;
};

}  // namespace tessora
