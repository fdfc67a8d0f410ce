#pragma once

#include "platform/x11/X11WindowSystem.h"
#include "workspace/AppCatalog.h"

#include <memory>

namespace tessora {

// The window system of this session, matching windows against every application of the
// catalog's folders. Never null; without X11 or a window manager it says why through
// canControlWindows() (and `reason`).
std::unique_ptr<X11WindowSystem> connectWindowSystem(const CatalogEnvironment& environment,
                                                     Clock& clock, QString* reason = nullptr);

}  // namespace tessora
