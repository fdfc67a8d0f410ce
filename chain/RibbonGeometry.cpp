#include "chain/RibbonGeometry.h"

#include "workspace/WindowLayout.h"

#include <algorithm>
#include <cmath>

namespace tessora {

double RibbonStrip::baseColumnWidth() const {
    // The Chain layout's own first region decides the default width: with its two halves,
    // two base columns and one gap fill the viewport exactly.
    if (const std::optional<WindowLayout> layout =
            layoutWithID(QString::fromLatin1(chainLayoutId))) {
        const std::vector<WindowRect> tiles = frames(capacity, layout->regions, viewport, gap);
        if (!tiles.empty()) {
            return tiles.front().width;
        }
    }
    return std::max(viewport.width * 0.5, 1.0);
}

void RibbonStrip::rebuildColumns(qsizetype windowCount) {
    viewport = area;
    columnWidths.clear();
    itemOffsets.clear();
    if (windowCount <= 0) {
        return;
    }
    if (windowCount == 1) {
        columnWidths = {area.width};
        itemOffsets = {0.0};
        return;
    }
    const double base = baseColumnWidth();
    columnWidths.reserve(windowCount);
    itemOffsets.reserve(windowCount);
    for (qsizetype i = 0; i < windowCount; ++i) {
        const double minimum = minimumColumnWidths.value(i, 0.0);
        columnWidths.append(std::max(minimum, base));
        itemOffsets.append(i == 0 ? 0.0 : itemOffsets[i - 1] + columnWidths[i - 1] + gap);
    }
}

double RibbonStrip::maxOffset(qsizetype windowCount) const {
    if (windowCount <= 0 || columnWidths.size() != windowCount ||
        itemOffsets.size() != windowCount) {
        return 0;
    }
    qsizetype start = windowCount - 1;
    double span = columnWidths[start];
    while (start > 0) {
        const double candidate = span + gap + columnWidths[start - 1];
        if (candidate > viewport.width + kRibbonFitTolerance) {
            break;
        }
        span = candidate;
        --start;
    }
    return itemOffsets[start];
}

double RibbonStrip::clampedOffset(double x, qsizetype windowCount) const {
    const double t = x >= 0 ? x : 0.0;  // false for NaN as well
    return std::min(t, maxOffset(windowCount));
}

int RibbonStrip::nearestColumn(double t) const {
    if (itemOffsets.size() < 2) {
        return 0;
    }
    int best = 0;
    for (int i = 1; i < itemOffsets.size(); ++i) {
        if (std::abs(itemOffsets[i] - t) < std::abs(itemOffsets[best] - t)) {
            best = i;
        }
    }
    return best;
}

RibbonColumnPlacement RibbonStrip::columnPlacement(int index, double scroll,
                                                   bool resizePending) const {
    RibbonColumnPlacement placement;
    const double x = viewport.minX() + itemOffsets.value(index, 0.0) - scroll;
    const double width = columnWidths.value(index, 0.0);
    placement.frame = {x, area.minY(), width, area.height};
    placement.intersectsViewport = x < viewport.maxX() && viewport.minX() < x + width;
    placement.fullyVisible = x >= viewport.minX() - kRibbonVisibleTolerance &&
                             x + width <= viewport.maxX() + kRibbonVisibleTolerance;
    placement.needsSize =
        resizePending || (placement.fullyVisible && !fullyVisible.contains(index));
    placement.clampedX = std::min(std::max(viewport.minX(), x), viewport.maxX() - width);
    if (confined && !placement.fullyVisible) {
        const double left = std::max(x, viewport.minX());
        const double right = std::min(x + width, viewport.maxX());
        if (right - left <= kRibbonVisibleTolerance) {
            placement.hidden = true;
            placement.needsSize = false;
        } else {
            placement.cut = true;
            placement.frame = {left, area.minY(), right - left, area.height};
            placement.clampedX = left;
        }
    }
    return placement;
}

}  // namespace tessora
