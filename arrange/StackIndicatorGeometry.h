#pragma once

#include "core/Geometry.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <optional>

// Where the window stack indicator goes and how its dots are laid out. Everything here is pure
// arithmetic shared by the controller (placement, hit test) and the view (drawing), so that what
// is drawn and what a click selects can never disagree.
namespace tessora::stackindicator {

inline constexpr double pillThickness = 16;
inline constexpr double pillCornerRadius = 8;
inline constexpr double pillBorderWidth = 1;
inline constexpr double dotThickness = 6;
inline constexpr double activeDotLength = 14;
inline constexpr double dotLength = 6;
inline constexpr double dotSpacing = 3;
inline constexpr double dotCornerRadius = 3;
inline constexpr double dotInset = 5;        // from the pill's long edge
inline constexpr double pillEndPadding = 6;  // before the first and after the last dot
// A click up to this far past the end of a dot still selects that dot.
inline constexpr double clickSlack = 1.5;
// Gaps narrower than this leave no room for the pill between the tiles.
inline constexpr double minimumGapForPill = 16;
// Without room in the gap, the pill is centred this far below the area's top.
inline constexpr double areaTopOffset = 8;

// Horizontal: the pill's length runs along x; vertical: along y.
enum class Orientation { Horizontal, Vertical };

// Where the pill sits, fixed when the indicator is shown; its length follows the dot count.
struct Placement {
    Orientation orientation = Orientation::Horizontal;
    QPointF centre;  // window space
};

// (count − 1) × 9 + 26: room for one active and count − 1 other dots plus the ends.
double pillLength(int count);

// Chooses the pill's orientation and centre for a tile inside `area` with `gap` between tiles:
// in the gap above the tile when there is room, else in the gap to its left, else on the tile
// just below the area's top. The pill grows from its centre, so the dot count does not matter.
Placement placeIndicator(const WindowRect& area, const WindowRect& tile, double gap);

// The pill's frame in window space for `count` dots around the placement's centre.
WindowRect pillFrame(const Placement& placement, int count);

// One dot along the pill's length: where it starts and how long it is.
struct DotSpan {
    double start = 0;
    double length = 0;
};

// The dots of `count` windows, centred along a pill of `length`; the one at `activeIndex` is long.
QList<DotSpan> dotSpans(double length, int count, int activeIndex);

// The dots as rectangles in the pill's own coordinates (origin top-left, y down). On a vertical
// pill the first window's dot is at the top.
QList<QRectF> dotRects(Orientation orientation, const QList<DotSpan>& spans);

// The dot a click at `point` (pill coordinates) selects: the first whose end plus the slack lies
// beyond the click, so a click before the first dot selects it. None past the last dot.
std::optional<int> dotAt(Orientation orientation, const QList<DotSpan>& spans, QPointF point);

}  // namespace tessora::stackindicator
