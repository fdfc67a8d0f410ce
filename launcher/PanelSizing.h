#pragma once

#include "core/Geometry.h"

#include <optional>

namespace tessora {

inline constexpr double listPanelWidth = 544;
inline constexpr double listPanelHeight = 550;
inline constexpr double gridPanelWidth = 900;
inline constexpr double gridPanelHeight = 620;

// The launcher panel's frame for a view mode (screen space): 900 x 620 for the grid, 544 x 550
// for the list, each at most the visible frame less 32. The panel keeps its horizontal centre
// and its top edge where it can, grows or shrinks downwards, and stays 16 inside the visible
// frame. None (leave the panel alone) without a visible frame or when it is 32 or less in
// either direction.
std::optional<ScreenRect> resizedPanelFrame(const ScreenRect& panel,
                                            const std::optional<ScreenRect>& visibleFrame,
                                            bool grid);

// Columns of every launcher grid at this panel width.
int gridColumnCount(double panelWidth);

}  // namespace tessora
