#pragma once

#include "core/Clock.h"
#include "platform/WindowSystem.h"
#include "workspace/AppCatalog.h"

#include <memory>

namespace tessora {

// The window system of this session, matching windows against every application of the
// catalog's folders: the X11 backend when the display can be reached, else a window system that
// controls nothing. Never null; when windows cannot be controlled, canControlWindows() says why
// (as does `reason`).
std::unique_ptr<WindowSystem> connectWindowSystem(const CatalogEnvironment& environment,
                                                  Clock& clock, QString* reason = nullptr);

}  // namespace tessora
