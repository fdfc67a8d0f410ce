#include "workspace/WindowLayout.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tessora {

namespace {

constexpr double twoThirds = 2.0 / 3.0;
constexpr double oneThird = 1.0 / 3.0;
static_assert(twoThirds + oneThird == 1.0, "the Dominant layout relies on an exact right edge");

// Edges are matched to regions with this tolerance when boundaries are moved.
constexpr double edgeTolerance = 0.001;

QList<WindowLayout> makeBuiltInLayouts() {
    return {
        {"focus", "Focus", {{0.14, 0.12, 0.72, 0.76}}},
        {"monarch", "Monarch", {{0, 0, 1, 1}}},
        {"mirror", "Mirror", {{0, 0, 0.5, 1}, {0.5, 0, 0.5, 1}}},
        {"dominant", "Dominant", {{0, 0, twoThirds, 1}, {twoThirds, 0, oneThird, 1}}},
        {"triad", "Triad", {{0, 0, 0.6, 1}, {0.6, 0, 0.4, 0.5}, {0.6, 0.5, 0.4, 0.5}}},
        {"triad-right", "Triad Right", {{0.4, 0, 0.6, 1}, {0, 0, 0.4, 0.5}, {0, 0.5, 0.4, 0.5}}},
        {"quadra",
         "Quadra",
         {{0, 0, 0.5, 0.5}, {0.5, 0, 0.5, 0.5}, {0, 0.5, 0.5, 0.5}, {0.5, 0.5, 0.5, 0.5}}},
        {chainLayoutId, "Chain", {{0, 0, 0.5, 1}, {0.5, 0, 0.5, 1}}},
    };
}

// Sorted, exact-duplicate-free list of the region edges along one axis.
template <typename Near, typename Far>
std::vector<double> collectEdges(const std::vector<UnitRect>& regions, Near nearEdge, Far farEdge) {
    std::vector<double> edges;
    for (const UnitRect& r : regions) {
        edges.push_back(nearEdge(r));
        edges.push_back(farEdge(r));
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    return edges;
}

std::optional<size_t> edgeIndex(const std::vector<double>& edges, double value) {
    for (size_t i = 0; i < edges.size(); ++i) {
        if (std::abs(edges[i] - value) < edgeTolerance) {
            return i;
        }
    }
    return std::nullopt;
}

// Where a region sits in the edge grid: columns [left, right), rows [top, bottom).
struct GridSpan {
    size_t left, right, top, bottom;
};

std::optional<GridSpan> gridSpan(const UnitRect& r, const std::vector<double>& columns,
                                 const std::vector<double>& rows) {
    const auto left = edgeIndex(columns, r.x);
    const auto right = edgeIndex(columns, r.x + r.width);
    const auto top = edgeIndex(rows, r.y);
    const auto bottom = edgeIndex(rows, r.y + r.height);
    if (!left || !right || !top || !bottom) {
        return std::nullopt;
    }
    return GridSpan{*left, *right, *top, *bottom};
}

}  // namespace

const QList<WindowLayout>& builtInLayouts() {
    static const QList<WindowLayout> layouts = makeBuiltInLayouts();
    return layouts;
}

std::optional<WindowLayout> layoutWithID(const QString& id) {
    for (const WindowLayout& layout : builtInLayouts()) {
        if (layout.id == id) {
            return layout;
        }
    }
    return std::nullopt;
}

bool matchesLayoutQuery(const WindowLayout& layout, const QString& query) {
    const QString q = query.trimmed();
    if (q.isEmpty()) {
        return true;
    }
    return layout.name.contains(q, Qt::CaseInsensitive) ||
           QString::number(layout.regions.size()).contains(q);
}

std::vector<WindowRect> frames(int count, const std::vector<UnitRect>& regions,
                               const WindowRect& area, double gap) {
    std::vector<WindowRect> result;
    if (count <= 0 || regions.empty()) {
        return result;
    }
    const double half = gap * 0.5;
    result.reserve(static_cast<size_t>(count));
    for (int slot = 0; slot < count; ++slot) {
        const UnitRect& r =
            regions[std::min<size_t>(static_cast<size_t>(slot), regions.size() - 1)];
        const double left = r.touchesLeft() ? 0 : half;
        const double right = r.touchesRight() ? 0 : half;
        const double top = r.touchesTop() ? 0 : half;
        const double bottom = r.touchesBottom() ? 0 : half;
        result.push_back({area.x + r.x * area.width + left, area.y + r.y * area.height + top,
                          r.width * area.width - left - right,
                          r.height * area.height - top - bottom});
    }
    return result;
}

std::vector<WindowRect> frames(int count, const std::vector<UnitRect>& regions,
                               const WindowRect& area, double gap, const MinimumSizes& minimums) {
    if (regions.size() < 2 || minimums.empty()) {
        return frames(count, regions, area, gap);
    }
    const auto columns = collectEdges(
        regions, [](const UnitRect& r) { return r.x; },
        [](const UnitRect& r) { return r.x + r.width; });
    const auto rows = collectEdges(
        regions, [](const UnitRect& r) { return r.y; },
        [](const UnitRect& r) { return r.y + r.height; });
    std::vector<double> columnMinimums(columns.size() - 1, 0.0);
    std::vector<double> rowMinimums(rows.size() - 1, 0.0);

    const double half = gap * 0.5;
    for (const auto& [slot, size] : minimums) {
        if (slot < 0) {
            continue;
        }
        const UnitRect& r =
            regions[std::min<size_t>(static_cast<size_t>(slot), regions.size() - 1)];
        const auto span = gridSpan(r, columns, rows);
        if (!span) {
            continue;
        }
        // A region spanning several columns (or rows) sets no minimum in that direction.
        if (span->right == span->left + 1) {
            const double need =
                size.width + (r.touchesLeft() ? 0 : half) + (r.touchesRight() ? 0 : half);
            columnMinimums[span->left] = std::max(columnMinimums[span->left], need);
        }
        if (span->bottom == span->top + 1) {
            const double need =
                size.height + (r.touchesTop() ? 0 : half) + (r.touchesBottom() ? 0 : half);
            rowMinimums[span->top] = std::max(rowMinimums[span->top], need);
        }
    }

    const auto newColumns = redistributeEdges(columns, columnMinimums, area.width);
    const auto newRows = redistributeEdges(rows, rowMinimums, area.height);
    std::vector<UnitRect> rebuilt;
    rebuilt.reserve(regions.size());
    for (const UnitRect& r : regions) {
        const auto span = gridSpan(r, columns, rows);
        if (!span) {
            rebuilt.push_back(r);  // cannot happen for edges collected from these regions
            continue;
        }
        rebuilt.push_back({newColumns[span->left], newRows[span->top],
                           newColumns[span->right] - newColumns[span->left],
                           newRows[span->bottom] - newRows[span->top]});
    }
    return frames(count, rebuilt, area, gap);
}

std::vector<double> redistributeEdges(const std::vector<double>& edges,
                                      const std::vector<double>& minimums, double total) {
    if (edges.size() < 2 || minimums.size() != edges.size() - 1) {
        return edges;
    }
    const size_t spanCount = edges.size() - 1;
    std::vector<double> spans(spanCount);
    bool anyShort = false;
    for (size_t i = 0; i < spanCount; ++i) {
        spans[i] = total * (edges[i + 1] - edges[i]);
        anyShort = anyShort || spans[i] < minimums[i];
    }
    const double minimumSum = std::accumulate(minimums.begin(), minimums.end(), 0.0);
    if (!anyShort || minimumSum >= total) {
        return edges;
    }
    std::vector<double> weights(spanCount);
    for (size_t i = 0; i < spanCount; ++i) {
        weights[i] = std::max(spans[i] - minimums[i], 0.0);
    }
    const double weightSum = std::accumulate(weights.begin(), weights.end(), 0.0);
    if (!(weightSum > 0)) {
        return edges;
    }
    const double leftover = total - minimumSum;
    std::vector<double> positions(edges.size());
    positions[0] = 0.0;
    for (size_t i = 0; i < spanCount; ++i) {
        positions[i + 1] = positions[i] + (minimums[i] + leftover * weights[i] / weightSum) / total;
    }
    positions.back() = 1.0;
    return positions;
}

}  // namespace tessora
