#include "app/RecentActivations.h"

#include "platform/DesktopEntry.h"

#include <algorithm>

namespace tessora {

std::optional<QString> recentHistoryId(const RunningApplication& app, qint64 ownPid,
                                       const CatalogEnvironment& environment,
                                       const InstalledApps& catalog) {
    if (app.id.isEmpty() || app.pid == ownPid || !app.regular) {
        return std::nullopt;
    }
    if (app.matchesEntry()) {
        const std::optional<DesktopEntry> entry = readDesktopEntry(app.location);
        if (!entry || !isUserApp(*entry, environment)) {
            return std::nullopt;
        }
        return app.id;
    }
    const bool listed =
        std::any_of(catalog.begin(), catalog.end(),
                    [&](const InstalledApp& listedApp) { return listedApp.id == app.id; });
    return listed ? std::optional<QString>(app.id) : std::nullopt;
}

}  // namespace tessora
