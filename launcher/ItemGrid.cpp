#include "launcher/ItemGrid.h"

#include <algorithm>
#include <cmath>

namespace tessora {

ItemGridGeometry::ItemGridGeometry(const ItemGridMetrics& metrics, double width, int count)
    : m_metrics(metrics), m_width(width), m_count(std::max(0, count)) {
    m_metrics.columns = std::max(1, m_metrics.columns);
}

int ItemGridGeometry::rows() const {
    return (m_count + m_metrics.columns - 1) / m_metrics.columns;
}

double ItemGridGeometry::columnWidth() const {
    const double inner = m_width - m_metrics.padding.left() - m_metrics.padding.right();
    const double spacing = m_metrics.columnSpacing * (m_metrics.columns - 1);
    return std::max(0.0, (inner - spacing) / m_metrics.columns);
}

QRectF ItemGridGeometry::itemRect(int index) const {
    const int row = index / m_metrics.columns;
    const int column = index % m_metrics.columns;
    const double w = columnWidth();
    return {m_metrics.padding.left() + column * (w + m_metrics.columnSpacing),
            m_metrics.padding.top() + row * (m_metrics.itemHeight + m_metrics.rowSpacing), w,
            m_metrics.itemHeight};
}

double ItemGridGeometry::contentHeight() const {
    const int r = rows();
    const double items = r == 0 ? 0 : r * m_metrics.itemHeight + (r - 1) * m_metrics.rowSpacing;
    return m_metrics.padding.top() + items + m_metrics.padding.bottom();
}

std::pair<int, int> ItemGridGeometry::itemsBetween(double top, double bottom) const {
    if (m_count == 0 || bottom <= top) {
        return {0, 0};
    }
    const double pitch = m_metrics.itemHeight + m_metrics.rowSpacing;
    const double start = top - m_metrics.padding.top();
    const double end = bottom - m_metrics.padding.top();
    // A row intersects when its top is below `end` and its bottom above `start`.
    const int firstRow =
        std::max(0, static_cast<int>(std::floor((start - m_metrics.itemHeight) / pitch)) + 1);
    const int lastRow = std::min(rows() - 1, static_cast<int>(std::ceil(end / pitch)) - 1);
    if (lastRow < firstRow) {
        return {0, 0};
    }
    const int first = std::min(m_count, firstRow * m_metrics.columns);
    const int last = std::min(m_count, (lastRow + 1) * m_metrics.columns);
    return {first, last};
}

int ItemGridGeometry::itemAt(QPointF point) const {
    const auto [first, last] = itemsBetween(point.y(), point.y() + 1);
    for (int i = first; i < last; ++i) {
        if (roundedRectContains(itemRect(i), m_metrics.cornerRadius, point)) {
            return i;
        }
    }
    return -1;
}

bool roundedRectContains(const QRectF& rect, double radius, QPointF point) {
    if (point.x() < rect.left() || point.x() >= rect.right() || point.y() < rect.top() ||
        point.y() >= rect.bottom()) {
        return false;
    }
    const double r = std::min({radius, rect.width() / 2, rect.height() / 2});
    // Distance to the nearest corner circle's centre, when the point is in a corner square.
    const double cx = std::clamp(point.x(), rect.left() + r, rect.right() - r);
    const double cy = std::clamp(point.y(), rect.top() + r, rect.bottom() - r);
    const double dx = point.x() - cx;
    const double dy = point.y() - cy;
    return dx * dx + dy * dy <= r * r;
}

}  // namespace tessora
