#pragma once

#include "core/Geometry.h"
#include "core/InstalledApp.h"
#include "core/TaskFwd.h"

#include <vector>

namespace tessora {

// Starting and ending the Chain session, as the launch pipeline drives it. The window
// arrangement layer is linked below the Chain layer, so it reaches the session through this
// interface (a virtual call needs nothing from the Chain library at link time).
class ChainLayoutControl {
public:
    virtual ~ChainLayoutControl() = default;

    // Lays the windows of `apps` out as a scrolling strip of columns in `area` (window space);
    // `screenArea` is the same visible frame in screen space. Only the count of `regions`
    // matters. A running session must be ended first.
    virtual Task<void> start(std::vector<UnitRect> regions, InstalledApps apps, WindowRect area,
                             ScreenRect screenArea, double gap) = 0;
    // Puts every window of the session back where it was; harmless without a session.
    virtual void end() = 0;
};

}  // namespace tessora
