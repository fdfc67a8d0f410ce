#include "app/WindowSystemConnection.h"

#include "platform/x11/X11WindowSystem.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tessora {

namespace {

namespace fs = std::filesystem;

// What the application folders hold, cheaply: every folder below them with its modification
// time, and the names of the desktop entries in them, with no stat of the entries (each would
// cost more than the rest together; it is asked at every show of the launcher). Adding,
// removing or renaming an entry changes it, and so does replacing one the way package managers
// and most editors write files (a new file renamed over the old). Folders reached twice through
// symbolic links are taken once.
using FolderState = std::vector<std::pair<std::string, fs::file_time_type::rep>>;

void addFolderState(const fs::path& folder, std::set<fs::path>& entered, FolderState& state) {
    std::error_code error;
    const fs::path canonical = fs::canonical(folder, error);
    if (error || !entered.insert(canonical).second) {
        return;
    }
    std::error_code unreadable;  // a folder whose time cannot be read counts as time 0
    state.emplace_back(folder.native(),
                       fs::last_write_time(folder, unreadable).time_since_epoch().count());
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        std::error_code broken;  // a dangling link is not a folder, and the listing goes on
        if (it->is_directory(broken)) {
            addFolderState(path, entered, state);
        } else if (path.extension() == ".desktop") {
            state.emplace_back(path.native(), 0);
        }
    }
}

FolderState folderState(const QStringList& folders) {
    FolderState state;
    std::set<fs::path> entered;
    for (const QString& folder : folders) {
        addFolderState(fs::path(QFile::encodeName(folder).toStdString()), entered, state);
    }
    std::sort(state.begin(), state.end());
    return state;
}

}  // namespace

x11::KnownEntrySource knownEntrySource(CatalogEnvironment environment) {
    auto lastState = std::make_shared<std::optional<FolderState>>();
    return [environment = std::move(environment),
            lastState]() -> std::optional<QList<x11::KnownEntry>> {
        FolderState state = folderState(environment.applicationFolders);
        if (*lastState == state) {
            return std::nullopt;
        }
        *lastState = std::move(state);
        QList<x11::KnownEntry> entries;
        for (const DesktopEntryFile& file : desktopEntryFiles(environment)) {
            if (std::optional<x11::KnownEntry> entry =
                    x11::KnownEntry::fromFile(file.id, file.path)) {
                entries.append(*entry);
            }
        }
        return entries;
    };
}

std::unique_ptr<WindowSystem> connectWindowSystem(const CatalogEnvironment& environment,
                                                  Clock& clock, QString* reason) {
    X11Options options;
    options.knownEntries = knownEntrySource(environment);
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
