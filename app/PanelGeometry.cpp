#include "app/PanelGeometry.h"

#include <algorithm>

namespace tessora {

namespace {

// Half-open on the far edges, so that a point on the border between two monitors belongs to
// one of them only.
bool holds(const WindowRect& frame, QPointF point) {
    return point.x() >= frame.minX() && point.x() < frame.maxX() && point.y() >= frame.minY() &&
           point.y() < frame.maxY();
}

}  // namespace

ScreenRect panelFrameOn(const ScreenRect& visibleFrame, Size panel) {
    return {visibleFrame.midX() - panel.width / 2,
            std::max(visibleFrame.maxY() - panel.height - panelTopInset, visibleFrame.minY()),
            panel.width, panel.height};
}

std::optional<double> primaryHeight(const QList<Screen>& screens) {
    if (screens.isEmpty()) {
        return std::nullopt;
    }
    return screens.front().frame.maxY();
}

std::optional<Screen> screenContaining(const QList<Screen>& screens, QPointF location) {
    for (const Screen& screen : screens) {
        if (holds(screen.frame, location)) {
            return screen;
        }
    }
    return std::nullopt;
}

bool nearTopOfScreen(const QList<Screen>& screens, QPointF location, double distance) {
    const std::optional<Screen> screen = screenContaining(screens, location);
    const std::optional<double> height = primaryHeight(screens);
    if (!screen || !height) {
        return false;
    }
    // In screen space: the location's y is at least the frame's maxY less `distance`.
    const ScreenRect frame = toScreenSpace(screen->frame, *height);
    const double y = *height - location.y();
    return y >= frame.maxY() - distance;
}

}  // namespace tessora
