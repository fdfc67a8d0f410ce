#include "app/WindowSystemConnection.h"

#include "platform/x11/X11WindowSystem.h"

#include <QGuiApplication>
#include <QScreen>

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
    // Window space counts Qt's logical pixels: a scaled desktop (QT_SCALE_FACTOR, Xft.dpi) keeps
    // every size of the system as it is, and our own windows are placed without converting.
    if (const QScreen* primary =
            qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr
                ? QGuiApplication::primaryScreen()
                : nullptr) {
        options.pixelRatio = primary->devicePixelRatio();
    }
    return X11WindowSystem::connect(reason, clock, std::move(options));
}

}  // namespace tessora
