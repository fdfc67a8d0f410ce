#include "launcher/ItemGrid.h"

#include <algorithm>
#include <cmath>

namespace tessora {

ItemGridGeometry::ItemGridGeometry(const ItemGridMetrics& metrics, double width, int count)
    : metrics_(metrics), width_(width), count_(std::max(0, count)) {
    metrics_.columns = std::max(1, metrics_.columns);
}

int ItemGridGeometry::rows() const {
    return (count_ + metrics_.columns - 1) / metrics_.columns;
}

double ItemGridGeometry::columnWidth() const {
    const double inner = width_ - metrics_.padding.left() - metrics_.padding.right();
    const double spacing = metrics_.columnSpacing * (metrics_.columns - 1);
    return std::max(0.0, (inner - spacing) / metrics_.columns);
}

QRectF ItemGridGeometry::itemRect(int index) const {
    const int row = index / metrics_.columns;
    const int column = index % metrics_.columns;
    const double w = columnWidth();
    return {metrics_.padding.left() + column * (w + metrics_.columnSpacing),
            metrics_.padding.top() + row * (metrics_.itemHeight + metrics_.rowSpacing), w,
            metrics_.itemHeight};
}

double ItemGridGeometry::contentHeight() const {
    const int r = rows();
    const double items = r == 0 ? 0 : r * metrics_.itemHeight + (r - 1) * metrics_.rowSpacing;
    return metrics_.padding.top() + items + metrics_.padding.bottom();
}

std::pair<int, int> ItemGridGeometry::itemsBetween(double top, double bottom) const {
    if (count_ == 0 || bottom <= top) {
        return {0, 0};
    }
    const double pitch = metrics_.itemHeight + metrics_.rowSpacing;
    const double start = top - metrics_.padding.top();
    const double end = bottom - metrics_.padding.top();
    // A row intersects when its top is below `end` and its bottom above `start`.
    const int firstRow = std::max(0, static_cast<int>(std::floor((start - metrics_.itemHeight) / pitch)) + 1);
    const int lastRow = std::min(rows() - 1, static_cast<int>(std::ceil(end / pitch)) - 1);
    if (lastRow < firstRow) {
        return {0, 0};
    }
    const int first = std::min(count_, firstRow * metrics_.columns);
    const int last = std::min(count_, (lastRow + 1) * metrics_.columns);
    return {first, last};
}

int ItemGridGeometry::itemAt(QPointF point) const {
    const auto [first, last] = itemsBetween(point.y(), point.y() + 1);
    for (int i = first; i < last; ++i) {
        if (roundedRectContains(itemRect(i), metrics_.cornerRadius, point)) {
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
