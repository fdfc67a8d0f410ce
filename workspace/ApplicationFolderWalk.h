#pragma once

#include "workspace/EntryWarnings.h"

#include <sys/types.h>
#include <QString>
#include <QStringList>
#include <functional>
#include <set>
#include <stop_token>
#include <string>
#include <utility>

namespace tessora {

// How far a walk of the application folders goes. Real installations nest entries two or three
// folders deep (wine's menus five); a walk that goes further is walking something else.
struct FolderWalkBounds {
    int maxDepth = 12;
    // Names listed in one walk of one application folder, over all its folders.
    qsizetype maxNames = 200000;
};

// Walks one application folder depth-first, in byte order of the names so that the first of
// two files with the same id (sub-foo.desktop, sub/foo.desktop) is always the same one.
//
// Symbolic links are followed, within bounds: each folder is entered once (by device and
// inode, so loops and second links end there), no deeper than the bounds' depth, and a link to
// a folder is followed only when that folder lies inside one of `applicationFolders` or inside
// another folder named "applications" (a link that leads to /, to a home folder or to a data
// folder's other contents is not walked through).
class ApplicationFolderWalk {
public:
    // Called with each entry's path and id.
    using Visitor = std::function<void(const QString& path, const QString& id)>;

    ApplicationFolderWalk(const QString& root, const QStringList& applicationFolders,
                          EntryWarnings& warnings, Visitor onEntry, std::stop_token stop,
                          FolderWalkBounds bounds = {});

    void run();

private:
    void walk(const std::string& folder, const QString& relative, int depth);
    bool mayFollowLinkTo(const std::string& folder) const;
    void warnOnce(const QString& path, const QString& why);
    QString folderPath(const QString& relative) const { return m_root + u'/' + relative; }

    const QString m_root;
    std::vector<std::string> m_allowedFolders;  // resolved, each ending in '/'
    EntryWarnings& m_warnings;
    const Visitor m_onEntry;
    const std::stop_token m_stop;
    const FolderWalkBounds m_bounds;
    std::set<std::pair<dev_t, ino_t>> m_entered;
    qsizetype m_namesListed = 0;
};

// "sub/foo.desktop" -> "sub-foo"
QString idFromRelativePath(QString relative);

}  // namespace tessora
