#pragma once

#include "core/Clock.h"
#include "platform/WindowSystem.h"
#include "workspace/AppCatalog.h"

#include <memory>

namespace tessora {

// The window system of this session: the X11 backend when the display can be reached, else a
// window system that controls nothing. Never null; when windows cannot be controlled,
// canControlWindows() says why (as does `reason`). It matches windows to no desktop entry until
// the catalog hands it those it has read (readCatalog(), WorkspaceModel::refreshApps()).
std::unique_ptr<WindowSystem> connectWindowSystem(Clock& clock, QString* reason = nullptr);

// The catalog for a command that runs once: the application folders read once, their entries
// handed to `windows` so that running applications are known by their entries, and the
// running applications that no entry covers added. Blocks while the folders are read.
InstalledApps readCatalog(const CatalogEnvironment& environment, WindowSystem& windows);

}  // namespace tessora
