#pragma once

#include "core/Geometry.h"

#include <QList>
#include <QSet>

// The pure geometry of the Chain strip: how wide each column is, where it starts in strip
// coordinates, how far the strip scrolls, which column is current and where each window goes
// for a scroll position. No timers, no windows; the session owns this state and calls these.
// Nothing is rounded: comparisons work on the unrounded values.
namespace tessora {

// Tolerances of the strip, in points.
inline constexpr double kRibbonFitTolerance = 1.0;      // columns still "fit" this far over
inline constexpr double kRibbonVisibleTolerance = 1.0;  // a column still "fully visible"

// Where one column goes for a given scroll position.
struct RibbonColumnPlacement {
    WindowRect frame;
    bool intersectsViewport = false;  // chooses the windows that are raised
    bool fullyVisible = false;
    bool needsSize = false;  // a full frame write, not just a move
    double clampedX = 0;     // where the window is sized before it is moved to frame.x
    // Only on a confined strip: the column is wholly out of view (its window is minimized
    // meanwhile), or it is partly in view and `frame` is cut to the part in view.
    bool hidden = false;
    bool cut = false;
};

// The strip's geometry. All rectangles are in window space.
struct RibbonStrip {
    WindowRect area;      // where the strip lives: the usable part of the display
    WindowRect viewport;  // the visible part of the strip; every rebuild sets it to `area`
    double gap = 0;       // between adjacent columns
    int capacity = 2;     // columns the default column width is computed for
    QList<double> minimumColumnWidths;  // per window; a missing entry counts as 0
    QList<double> columnWidths;         // per window
    QList<double> itemOffsets;          // per window: left edge in strip coordinates
    double offset = 0;                  // strip x shown at viewport.minX()
    double targetOffset = 0;            // where the strip is moving to
    int activeIndex = 0;                // the current column
    QSet<int> fullyVisible;             // columns fully visible after the last quiet pass
    // The window manager keeps windows on screen, so a column cannot hang over the viewport's
    // edge: those partly in view are cut to the viewport, those out of view are hidden.
    bool confined = false;

    // Sets `viewport`, `columnWidths` and `itemOffsets` for `windowCount` windows. Leaves the
    // offsets alone: callers clamp them afterwards.
    void rebuildColumns(qsizetype windowCount);
    // The largest scroll position: the start of the first column from which all remaining
    // columns fit in the viewport. Always a column boundary; 0 when everything fits.
    double maxOffset(qsizetype windowCount) const;
    // `x` limited to [0, maxOffset]; not-a-number gives 0.
    double clampedOffset(double x, qsizetype windowCount) const;
    // The column whose start is closest to `t`; ties go to the lower index.
    int nearestColumn(double t) const;
    // Column `index`'s frame and flags for scroll position `offset`.
    RibbonColumnPlacement columnPlacement(int index, double offset, bool resizePending) const;
    // The default column width for the current viewport, gap and capacity.
    double baseColumnWidth() const;
};

}  // namespace tessora
