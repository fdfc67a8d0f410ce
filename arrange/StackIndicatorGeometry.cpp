#include "arrange/StackIndicatorGeometry.h"

namespace tessora::stackindicator {

double pillLength(int count) {
    return (count - 1) * (dotLength + dotSpacing) + activeDotLength + 2 * pillEndPadding;
}

Placement placeIndicator(const WindowRect& area, const WindowRect& tile, double gap) {
    const double half = gap * 0.5;
    const double roomAbove = tile.minY() - area.minY();
    const double roomLeft = tile.minX() - area.minX();
    const bool gapHoldsPill = gap >= minimumGapForPill;

    if (half <= roomAbove) {
        const double y = gapHoldsPill ? tile.minY() - half : area.minY() + areaTopOffset;
        return {Orientation::Horizontal, QPointF(tile.midX(), y)};
    }
    if (gapHoldsPill && half <= roomLeft) {
        return {Orientation::Vertical, QPointF(tile.minX() - half, tile.midY())};
    }
    return {Orientation::Horizontal, QPointF(tile.midX(), area.minY() + areaTopOffset)};
}

WindowRect pillFrame(const Placement& placement, int count) {
    const double length = pillLength(count);
    const bool horizontal = placement.orientation == Orientation::Horizontal;
    const double width = horizontal ? length : pillThickness;
    const double height = horizontal ? pillThickness : length;
    return {placement.centre.x() - width / 2, placement.centre.y() - height / 2, width, height};
}

QList<DotSpan> dotSpans(double length, int count, int activeIndex) {
    QList<DotSpan> spans;
    if (count <= 0) {
        return spans;
    }
    double start = (length - ((count - 1) * (dotLength + dotSpacing) + activeDotLength)) / 2;
    for (int i = 0; i < count; ++i) {
        const double d = i == activeIndex ? activeDotLength : dotLength;
        spans.append({start, d});
        start += d + dotSpacing;
    }
    return spans;
}

QList<QRectF> dotRects(Orientation orientation, const QList<DotSpan>& spans) {
    QList<QRectF> rects;
    rects.reserve(spans.size());
    for (const DotSpan& span : spans) {
        if (orientation == Orientation::Horizontal) {
            rects.append(QRectF(span.start, dotInset, span.length, dotThickness));
        } else {
            rects.append(QRectF(dotInset, span.start, dotThickness, span.length));
        }
    }
    return rects;
}

std::optional<int> dotAt(Orientation orientation, const QList<DotSpan>& spans, QPointF point) {
    const double pos = orientation == Orientation::Vertical ? point.y() : point.x();
    for (int i = 0; i < spans.size(); ++i) {
        if (spans[i].start + spans[i].length + clickSlack > pos) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace tessora::stackindicator
