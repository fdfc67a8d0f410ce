#pragma once

#include <QMarginsF>
#include <QPointF>
#include <QRectF>
#include <utility>

namespace tessora {

// How a launcher list or grid places its items: one column of full-width rows, or a grid of
// equal flexible columns, inside padding.
struct ItemGridMetrics {
    int columns = 1;
    double itemHeight = 56;
    double rowSpacing = 2;
    double columnSpacing = 0;
    QMarginsF padding;
    double cornerRadius = 12;  // the hit area is the item's rounded rectangle

    friend bool operator==(const ItemGridMetrics&, const ItemGridMetrics&) = default;
};

// Item rectangles of `count` items laid out in `width`, in content coordinates (y down from
// the top of the scrolled content). Pure arithmetic: 10,000 items cost nothing until asked.
class ItemGridGeometry {
public:
    ItemGridGeometry() = default;
    ItemGridGeometry(const ItemGridMetrics& metrics, double width, int count);

    int count() const { return m_count; }
    int columns() const { return m_metrics.columns; }
    const ItemGridMetrics& metrics() const { return m_metrics; }
    double columnWidth() const;
    QRectF itemRect(int index) const;
    // Height of the whole content, padding included.
    double contentHeight() const;
    // Items that intersect [top, bottom): first and one past the last.
    std::pair<int, int> itemsBetween(double top, double bottom) const;
    // The item whose rounded rectangle contains `point`, or -1.
    int itemAt(QPointF point) const;

private:
    int rows() const;

    ItemGridMetrics m_metrics;
    double m_width = 0;
    int m_count = 0;
};

// Whether `point` lies in `rect` with its corners rounded by `radius`.
bool roundedRectContains(const QRectF& rect, double radius, QPointF point);

}  // namespace tessora
