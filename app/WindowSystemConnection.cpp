#include "app/WindowSystemConnection.h"

#include "platform/x11/X11WindowSystem.h"

namespace tessora {

std::unique_ptr<WindowSystem> connectWindowSystem(const CatalogEnvironment& environment,
                                                  Clock& clock, QString* reason) {
    X11Options options;
    options.knownEntries = [environment] {
        QList<x11::KnownEntry> entries;
        for (const InstalledApp& app : scanApplications(environment, {})) {
            if (auto entry = x11::KnownEntry::fromFile(app.id, app.url)) {
                entries.append(*entry);
            }
        }
        return entries;
    };
    return X11WindowSystem::connect(reason, clock, std::move(options));
}

}  // namespace tessora
