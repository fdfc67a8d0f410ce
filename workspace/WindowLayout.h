#pragma once

#include "core/Geometry.h"

#include <QList>
#include <QString>
#include <map>
#include <optional>
#include <vector>

namespace tessora {

// A named arrangement: region i is where the i-th window goes, in fractions of the target area.
struct WindowLayout {
    QString id;
    QString name;
    std::vector<UnitRect> regions;

    friend bool operator==(const WindowLayout&, const WindowLayout&) = default;
};

// The id of the layout that is not placed with its regions but runs as a scrolling strip.
inline constexpr const char* chainLayoutId = "ribbon";

// The eight layouts in the order the launcher lists them. Built once, never changed.
const QList<WindowLayout>& builtInLayouts();

// The first built-in layout whose id equals `id` exactly (case-sensitive).
std::optional<WindowLayout> layoutWithID(const QString& id);

// The layouts tab's search: an empty (or blank) query matches everything; otherwise the name
// contains the query (case-insensitive) or the region count's digits contain it.
bool matchesLayoutQuery(const WindowLayout& layout, const QString& query);

// Minimum sizes of windows by slot index, in window-space points.
using MinimumSizes = std::map<int, Size>;

// Maps `count` slots to frames inside `area`: slot i takes regions[min(i, last)]; neighbouring
// regions are separated by a full `gap` (half from each side) and never inset from the area's
// edges. No rounding. Empty for count 0 or no regions.
std::vector<WindowRect> frames(int count, const std::vector<UnitRect>& regions,
                               const WindowRect& area, double gap);

// As above, but first moves the region boundaries so that windows with a minimum size fit,
// giving the other spans what is left in proportion to their room above their own minimum.
std::vector<WindowRect> frames(int count, const std::vector<UnitRect>& regions,
                               const WindowRect& area, double gap, const MinimumSizes& minimums);

// New positions for sorted unit `edges` so that span i is at least `minimums[i]` points of
// `total`; unchanged when nothing is short, when the minimums cannot all be met, or when no
// span has room to give. The result starts at 0.0 and ends at exactly 1.0 when it changes.
std::vector<double> redistributeEdges(const std::vector<double>& edges,
                                      const std::vector<double>& minimums, double total);

}  // namespace tessora
