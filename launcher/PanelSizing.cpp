#include "launcher/PanelSizing.h"

#include <algorithm>

namespace tessora {

std::optional<ScreenRect> resizedPanelFrame(const ScreenRect& panel,
                                            const std::optional<ScreenRect>& visibleFrame,
                                            bool grid) {
    if (!visibleFrame) {
        return std::nullopt;
    }
    const ScreenRect& v = *visibleFrame;
    const double width = std::min(v.width - 32, grid ? gridPanelWidth : listPanelWidth);
    const double height = std::min(v.height - 32, grid ? gridPanelHeight : listPanelHeight);
    if (width <= 0 || height <= 0) {
        return std::nullopt;
    }
    const double x =
        std::min(v.maxX() - width - 16, std::max(v.minX() + 16, panel.midX() - width / 2));
    const double top = std::min(v.maxY() - 16, panel.maxY());
    const double y = std::max(v.minY() + 16, top - height);
    return ScreenRect{x, y, width, height};
}

int gridColumnCount(double panelWidth) {
    return panelWidth >= 760 ? 7 : 4;
}

}  // namespace tessora
