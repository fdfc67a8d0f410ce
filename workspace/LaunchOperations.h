#pragma once

#include "core/Geometry.h"
#include "core/InstalledApp.h"
#include "core/TaskFwd.h"
#include "workspace/WindowLayout.h"

#include <QStringList>

namespace tessora {

// The three things a confirmed launch can do, and the housekeeping around them, as the window
// arrangement layer provides them. Each operation returns its failure messages in order.
class LaunchOperations {
public:
    virtual ~LaunchOperations() = default;

    // Opens every application in order, activating it; one message per application that could
    // not be opened: name + ": could not open (" + description + ").".
    virtual Task<QStringList> open(InstalledApps apps) = 0;
    // Places the applications' windows into the layout's regions and, when `indicators` is on
    // and windows ended up stacked, marks the stacked tile.
    virtual Task<QStringList> arrange(WindowLayout layout, InstalledApps apps, WindowRect area,
                                      double gap, bool indicators) = 0;
    // Starts the scrolling-columns session.
    virtual Task<QStringList> chain(WindowLayout layout, InstalledApps apps, WindowRect area,
                                    double gap) = 0;
    // Ends a running scrolling-columns session, putting its windows back.
    virtual Task<void> endChain() = 0;
    // Removes the stacked-tile indicator of an earlier run, if any.
    virtual void hideStackIndicator() = 0;
};

}  // namespace tessora
