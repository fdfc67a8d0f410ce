#pragma once

#include "core/Clock.h"
#include "platform/WindowSystem.h"
#include "platform/x11/ApplicationMatcher.h"
#include "workspace/AppCatalog.h"

#include <memory>

namespace tessora {

// What windows are matched against: every desktop entry of the environment's application
// folders, hidden ones too (a running application whose entry is hidden is that entry's, not one
// of its own). The entries are read again only when the folders have changed since the last
// call (an entry added, removed, renamed or replaced: one stat of each folder and a listing);
// else the source answers "unchanged". Nothing watches the folders in between.
x11::KnownEntrySource knownEntrySource(CatalogEnvironment environment);

// The window system of this session, matching windows against every application of the
// catalog's folders: the X11 backend when the display can be reached, else a window system that
// controls nothing. Never null; when windows cannot be controlled, canControlWindows() says why
// (as does `reason`).
std::unique_ptr<WindowSystem> connectWindowSystem(const CatalogEnvironment& environment,
                                                  Clock& clock, QString* reason = nullptr);

}  // namespace tessora
