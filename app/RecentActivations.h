#pragma once

#include "core/InstalledApp.h"
#include "platform/Desktop.h"
#include "workspace/AppCatalog.h"

#include <QString>
#include <optional>

namespace tessora {

// The id under which an activated application enters the recent history, or none when it does
// not belong there: this process itself, applications that are not regular, and applications
// a user would not launch. An application with a desktop entry counts when the entry passes
// the catalog's filter (so an entry with NoDisplay=true never enters); one without an entry
// counts when the catalog lists it under its own record, as it lists running applications.
std::optional<QString> recentHistoryId(const RunningApplication& app, qint64 ownPid,
                                       const CatalogEnvironment& environment,
                                       const InstalledApps& catalog);

}  // namespace tessora
