#include "chain/RibbonDots.h"

#include <QCoreApplication>

namespace tessora::ribbondots {

double panelWidth(int count) {
    return (std::max(count, 1) - 1) * (dotSpacing + dotLength) + endPadding * 2 + activeDotLength;
}

WindowRect panelFrame(const WindowRect& area, int count) {
    const double width = panelWidth(count);
    return {area.midX() - width / 2, area.minY(), width, panelHeight};
}

QRectF dotHitRect(const Dots& dots, int index) {
    if (index < 0 || index >= dots.count()) {
        return {};
    }
    double x = endPadding;
    for (int i = 0; i < index; ++i) {
        x += (i == dots.activeIndex ? activeDotLength : dotLength) + dotSpacing;
    }
    const double length = index == dots.activeIndex ? activeDotLength : dotLength;
    return {x, 0, length, panelHeight};
}

QRectF dotRect(const Dots& dots, int index) {
    const QRectF hit = dotHitRect(dots, index);
    if (hit.isNull()) {
        return {};
    }
    return {hit.x(), (panelHeight - dotThickness) / 2, hit.width(), dotThickness};
}

std::optional<int> dotAt(const Dots& dots, QPointF point) {
    for (int i = 0; i < dots.count(); ++i) {
        if (dotHitRect(dots, i).contains(point)) {
            return i;
        }
    }
    return std::nullopt;
}

QString tooltipText() {
    return QStringLiteral("Hold Alt and scroll to move Chain, or click a dot");
}

QString endActionText() {
    return QStringLiteral("End Chain layout");
}

}  // namespace tessora::ribbondots
