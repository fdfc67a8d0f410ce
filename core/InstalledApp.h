#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <optional>

namespace tessora {

// One application the user can pick. On Linux the identity is the desktop file ID without
// ".desktop" (applications/sub/foo.desktop is "sub-foo"); `url` is the path of the desktop
// entry as found (symlinks not resolved), or the executable of a running application that
// matches no entry.
struct InstalledApp {
    QString id;
    QString name;
    QString url;
    std::optional<QString> bundleName;  // the unlocalized Name, when the entry has one

    // Records are identified by id alone.
    friend bool operator==(const InstalledApp& a, const InstalledApp& b) { return a.id == b.id; }
};

using InstalledApps = QList<InstalledApp>;

}  // namespace tessora

Q_DECLARE_METATYPE(tessora::InstalledApp)
