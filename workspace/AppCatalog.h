#pragma once

#include "core/InstalledApp.h"
#include "platform/Desktop.h"
#include "platform/DesktopEntry.h"
#include "workspace/EntryWarnings.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <stop_token>

namespace tessora {

// What the catalog needs to know about the session it scans for.
struct CatalogEnvironment {
    // Folders of desktop entries in precedence order: $XDG_DATA_HOME/applications, then each
    // $XDG_DATA_DIRS entry + /applications.
    QStringList applicationFolders;
    QStringList currentDesktops;  // $XDG_CURRENT_DESKTOP, split on ':'
    // This application's own entry, which is never listed.
    QString ownId = QStringLiteral("org.tessora.Tessora");
    // Whether a TryExec program is installed (an absolute path, or a name looked up in PATH).
    // When unset, TryExec is not checked.
    std::function<bool(const QString& program)> programExists;
    // The broken entries already reported, shared by the copies of an environment, so that each
    // is reported once rather than at every scan.
    std::shared_ptr<EntryWarnings> warnings = std::make_shared<EntryWarnings>();

    // The environment of this process. The XDG base-directory defaults apply to unset
    // variables, relative folders are ignored and repeated ones kept once.
    static CatalogEnvironment fromProcess();
};

// Whether `program` is an executable file: an absolute path as it is, a name (or a relative
// path) looked up in the folders of `searchPath`.
bool programIsInstalled(const QString& program, const QStringList& searchPath);

// What a scan has found so far. An id belongs to the first entry found with it, whether that
// entry is listed or not, so the claimed ids are kept apart from the accepted records.
struct Found {
    QSet<QString> claimed;
    InstalledApps apps;  // in the order they were accepted
};

// What the application folders hold, each file read once: every desktop entry file that owns
// its id (the first file with an id, in precedence order), listed or not, hidden ones too; and
// the records of those a user would launch. The files are what windows are matched against, so
// that a running application whose entry is hidden is known by its entry.
struct FolderScan {
    QList<DesktopEntryFile> files;
    Found found;
};

// Walks and reads the application folders (see ApplicationFolderWalk for how far a walk goes).
// A stop request ends the scan between two files; what was found is returned.
FolderScan scanApplicationFolders(const CatalogEnvironment& env, std::stop_token stop = {});

// The catalog: what the folders gave, then the running applications that no entry covers,
// sorted by name in the order of a file browser. Reads no file for a running application whose
// entry the folders held.
InstalledApps completeCatalog(Found found, const CatalogEnvironment& env,
                              const QList<RunningApplication>& running, std::stop_token stop = {});

// Both at once: every application a user would launch from a dock.
InstalledApps scanApplications(const CatalogEnvironment& env,
                               const QList<RunningApplication>& running, std::stop_token stop = {});

// Considers the desktop entry at `entryPath` under the application id `id`: claims the id
// unless it was claimed before, and lists the entry if it passes isUserApp().
void addBundle(const QString& entryPath, const QString& id, const CatalogEnvironment& env,
               Found& found);

// Considers a running application (a regular one only): through its desktop entry when it
// was matched to one, else as a record of its own.
void addRunningApplication(const RunningApplication& app, const CatalogEnvironment& env,
                           Found& found);

// Whether the entry is an application a user would launch: shown, of Type=Application, meant
// for the current desktop, installed (TryExec) and launchable: D-Bus activatable, or with an
// Exec line that can be split and whose program is installed.
bool isUserApp(const DesktopEntry& entry, const CatalogEnvironment& env);

// The application id of the entry at `entryPath` inside `applicationsFolder`: its relative
// path without ".desktop", with '/' replaced by '-' (sub/foo.desktop is "sub-foo"). Empty when
// the path is not a ".desktop" file inside the folder.
QString desktopFileId(const QString& applicationsFolder, const QString& entryPath);

}  // namespace tessora
