#include "app/WindowSystemConnection.h"

#include "platform/x11/X11WindowSystem.h"

#include <QGuiApplication>
#include <QScreen>
#include <utility>

namespace tessora {

std::unique_ptr<WindowSystem> connectWindowSystem(Clock& clock, QString* reason) {
    X11Options options;
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

InstalledApps readCatalog(const CatalogEnvironment& environment, WindowSystem& windows) {
    FolderScan scan = scanApplicationFolders(environment);
    windows.setDesktopEntries(scan.files);
    return completeCatalog(std::move(scan.found), environment, windows.runningApplications());
}

}  // namespace tessora
