#pragma once

#include "core/Geometry.h"

#include <optional>

namespace tessora {

// What the launcher view needs of the panel window it lives in. Frames are in screen space
// (origin at the bottom-left of the primary monitor, y up), as the sizing rules are written.
class PanelHost {
public:
    virtual ~PanelHost() = default;

    virtual bool isPanelVisible() const = 0;
    // Hides the panel as Escape does; when it was visible its dismissal handler runs.
    virtual void dismissPanel() = 0;
    virtual ScreenRect panelFrame() const = 0;
    // The visible frame (less panels and docks) of the monitor the panel is on, else of the
    // first monitor; none without monitors.
    virtual std::optional<ScreenRect> panelScreenVisibleFrame() const = 0;
    virtual void setPanelFrame(const ScreenRect& frame) = 0;
};

}  // namespace tessora
