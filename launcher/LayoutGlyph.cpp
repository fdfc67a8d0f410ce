#include "launcher/LayoutGlyph.h"

#include "preferences/Palette.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace tessora::layoutglyph {

std::vector<QRectF> regionRects(const WindowLayout& layout, QSizeF size) {
    const double sx = size.width() - 2 * inset;
    const double sy = size.height() - 2 * inset;
    std::vector<QRectF> rects;
    rects.reserve(layout.regions.size());
    for (const UnitRect& r : layout.regions) {
        rects.emplace_back(inset + sx * r.x + gap / 2, inset + sy * r.y + gap / 2,
                           std::max(0.0, sx * r.width - gap), std::max(0.0, sy * r.height - gap));
    }
    return rects;
}

std::optional<QRectF> chainBadgeRect(const WindowLayout& layout, QSizeF size) {
    if (layout.id != QLatin1String(chainLayoutId)) {
        return std::nullopt;
    }
    return QRectF(size.width() / 2 - badgeDiameter / 2, size.height() / 2 - badgeDiameter / 2,
                  badgeDiameter, badgeDiameter);
}

namespace {

// Two stacked arrows, the upper pointing right and the lower left, about 9 points wide.
void paintTwoWayArrow(QPainter& painter, const QPointF& centre) {
    QPen pen(Qt::white, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const double half = 4.0;
    const double head = 2.2;
    const double upper = centre.y() - 2.2;
    const double lower = centre.y() + 2.2;
    QPainterPath path;
    path.moveTo(centre.x() - half, upper);
    path.lineTo(centre.x() + half, upper);
    path.moveTo(centre.x() + half - head, upper - head);
    path.lineTo(centre.x() + half, upper);
    path.lineTo(centre.x() + half - head, upper + head);
    path.moveTo(centre.x() + half, lower);
    path.lineTo(centre.x() - half, lower);
    path.moveTo(centre.x() - half + head, lower - head);
    path.lineTo(centre.x() - half, lower);
    path.lineTo(centre.x() - half + head, lower + head);
    painter.drawPath(path);
}

}  // namespace

void paint(QPainter& painter, const QRectF& frame, const WindowLayout& layout, bool selected) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(frame.topLeft());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgbF(1, 1, 1, selected ? 0.88f : 0.58f));
    for (const QRectF& tile : regionRects(layout, frame.size())) {
        painter.drawRoundedRect(tile, tileRadius, tileRadius);
    }
    if (const auto badge = chainBadgeRect(layout, frame.size())) {
        painter.setBrush(palette::windowBackground());
        painter.drawEllipse(*badge);
        paintTwoWayArrow(painter, badge->center());
    }
    painter.restore();
}

}  // namespace tessora::layoutglyph
