#pragma once

#include "core/Geometry.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <optional>

// The Chain navigation panel's content: a pill of dots, one per column, the current one long.
// Pure arithmetic shared by the session (where the panel goes) and the view (drawing and hit
// tests), so that what is drawn and what a click selects can never disagree.
namespace tessora::ribbondots {

inline constexpr double panelHeight = 16;
inline constexpr double endPadding = 6;  // before the first and after the last dot
inline constexpr double dotSpacing = 3;
inline constexpr double dotLength = 6;
inline constexpr double activeDotLength = 14;
inline constexpr double dotThickness = 6;
inline constexpr double borderWidth = 1;
inline constexpr double pillOpacity = 0.88;
inline constexpr double borderOpacity = 0.5;
inline constexpr double inactiveDotOpacity = 0.5;

// What the panel shows: one dot per column, named after the column's application.
struct Dots {
    QStringList names;
    int activeIndex = 0;

    int count() const { return static_cast<int>(names.size()); }
    friend bool operator==(const Dots&, const Dots&) = default;
};

// (count − 1) × 9 + 26: one active dot, count − 1 others, the spacing and both paddings.
double panelWidth(int count);

// The panel in window space: centred on the area horizontally, touching its top edge.
WindowRect panelFrame(const WindowRect& area, int count);

// The drawn dot of column `index`, in the panel's coordinates (origin top-left, y down).
QRectF dotRect(const Dots& dots, int index);
// The clickable frame of column `index`: its dot's width, the panel's full height.
QRectF dotHitRect(const Dots& dots, int index);
// The column whose dot is at `point` (panel coordinates), if any.
std::optional<int> dotAt(const Dots& dots, QPointF point);

// What the panel says on hover and offers on a right click.
QString tooltipText();
QString endActionText();

}  // namespace tessora::ribbondots
