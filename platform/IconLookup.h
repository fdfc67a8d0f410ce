#pragma once

#include "core/InstalledApp.h"

#include <QString>
#include <QStringList>

namespace tessora {

// Where application icons are found, in the order to look: for each theme of the chain (the
// desktop's theme, the themes it inherits, then hicolor) its application folders, scalable
// first, then the largest sizes; finally the legacy pixmaps folders. Built from the themes'
// index files without the icon-theme machinery of the GUI library, so that it can be built and
// used on any thread.
class IconDirectories {
public:
    IconDirectories() = default;
    // `iconRoots` are the folders that hold themes ($HOME/.icons, each data dir + "/icons");
    // `pixmapFolders` the legacy folders (each data dir + "/pixmaps").
    IconDirectories(const QString& themeName, const QStringList& iconRoots,
                    const QStringList& pixmapFolders);

    // The standard roots for this user: $XDG_DATA_HOME and $XDG_DATA_DIRS.
    static IconDirectories standard(const QString& themeName);

    const QStringList& folders() const { return m_folders; }
    // The first file for the icon name (png, svg or xpm), or an empty text.
    QString find(const QString& iconName) const;

private:
    QStringList m_folders;
};

// The file of the application's icon, as its desktop entry names it (an absolute file or a
// themed name); empty when it names none that exists. Safe off the main thread.
QString appIconFile(const InstalledApp& app, const IconDirectories& directories);

}  // namespace tessora
