#include "app/PanelGeometry.h"

#include <algorithm>

namespace tessora {

ScreenRect panelFrameOn(const ScreenRect& visibleFrame, Size panel) {
    return {visibleFrame.midX() - panel.width / 2,
            std::max(visibleFrame.maxY() - panel.height - panelTopInset, visibleFrame.minY()),
            panel.width, panel.height};
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
