#include "workspace/ApplicationFolderWalk.h"

#include <QFile>
#include <QLoggingCategory>
#include <QStringDecoder>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include <sys/stat.h>

namespace tessora {

namespace {

Q_LOGGING_CATEGORY(lcFolders, "tessora.catalog", QtInfoMsg)

namespace fs = std::filesystem;

constexpr QLatin1StringView kEntrySuffix(".desktop");

QString withoutTrailingSlash(QString folder) {
    while (folder.size() > 1 && folder.endsWith(u'/')) {
        folder.chop(1);
    }
    return folder;
}

// The folder with every symbolic link resolved, or empty when it cannot be.
std::string resolved(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                           &std::free);
    return real ? std::string(real.get()) : std::string();
}

std::string asFolderPrefix(std::string path) {
    if (!path.ends_with('/')) {
        path += '/';
    }
    return path;
}

}  // namespace

QString idFromRelativePath(QString relative) {
    relative.chop(kEntrySuffix.size());
    relative.replace(u'/', u'-');
    return relative;
}

ApplicationFolderWalk::ApplicationFolderWalk(const QString& root,
                                             const QStringList& applicationFolders,
                                             EntryWarnings& warnings, Visitor onEntry,
                                             std::stop_token stop, FolderWalkBounds bounds)
    : m_root(withoutTrailingSlash(root)),
      m_warnings(warnings),
      m_onEntry(std::move(onEntry)),
      m_stop(std::move(stop)),
      m_bounds(bounds) {
    for (const QString& folder : applicationFolders) {
        const std::string real = resolved(QFile::encodeName(folder).toStdString());
        if (!real.empty()) {
            m_allowedFolders.push_back(asFolderPrefix(real));
        }
    }
}

void ApplicationFolderWalk::run() {
    const std::string rootPath = QFile::encodeName(m_root).toStdString();
    struct stat info {};
    if (::stat(rootPath.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return;  // most of the XDG folders do not exist on a given machine
    }
    walk(rootPath, QString(), 0);
}

bool ApplicationFolderWalk::mayFollowLinkTo(const std::string& folder) const {
    const std::string real = resolved(folder);
    if (real.empty()) {
        return false;
    }
    const std::string prefix = asFolderPrefix(real);
    return prefix.find("/applications/") != std::string::npos ||
           std::any_of(m_allowedFolders.begin(), m_allowedFolders.end(),
                       [&](const std::string& allowed) { return prefix.starts_with(allowed); });
}

void ApplicationFolderWalk::warnOnce(const QString& path, const QString& why) {
    if (m_warnings.firstFor(path)) {
        qCWarning(lcFolders).noquote() << "Not walking" << path << ":" << why;
    }
}

void ApplicationFolderWalk::walk(const std::string& folder, const QString& relative, int depth) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        return;  // gone since it was listed
    }
    // Symbolic links are followed, so a folder may be reached again: through a loop or a
    // second link. Each folder is walked once.
    if (!m_entered.insert({info.st_dev, info.st_ino}).second) {
        qCDebug(lcFolders).noquote() << "Not entering" << folderPath(relative)
                                     << "again (a symbolic link loop or a second link to it)";
        return;
    }

    // Named once each: taking a path's file name apart costs more than the sort's comparisons.
    struct Child {
        std::string name;
        fs::directory_entry entry;
    };
    std::vector<Child> children;
    std::error_code error;
    fs::directory_iterator it(fs::path(folder), error);
    for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
        if (++m_namesListed > m_bounds.maxNames) {
            warnOnce(m_root, QStringLiteral("it holds more than %1 names").arg(m_bounds.maxNames));
            return;
        }
        std::string name = it->path().filename().native();
        if (!name.starts_with('.')) {
            children.push_back({std::move(name), *it});
        }
    }
    if (error) {
        qCWarning(lcFolders).noquote()
            << "Cannot list the folder" << folderPath(relative) << ":" << error.message().c_str();
    }
    std::sort(children.begin(), children.end(),
              [](const Child& a, const Child& b) { return a.name < b.name; });

    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    for (const auto& [fileName, child] : children) {
        if (m_stop.stop_requested() || m_namesListed > m_bounds.maxNames) {
            return;
        }
        std::error_code unreadable;
        const bool isFolder = child.is_directory(unreadable);  // follows symbolic links
        const bool isEntry =
            !isFolder && fileName.ends_with(".desktop") && child.is_regular_file(unreadable);
        if (!isFolder && !isEntry) {
            continue;
        }
        decoder.resetState();
        const QString name = decoder(QByteArrayView(fileName.data(), qsizetype(fileName.size())));
        if (decoder.hasError()) {
            const QString path = QFile::decodeName(child.path().c_str());
            if (m_warnings.firstFor(path)) {
                qCWarning(lcFolders).noquote()
                    << "Skipping" << path << ": its name is not valid UTF-8";
            }
            continue;
        }
        const QString childRelative = relative + name;
        if (!isFolder) {
            m_onEntry(m_root + u'/' + childRelative, idFromRelativePath(childRelative));
            continue;
        }
        const QString shownPath = folderPath(childRelative);
        if (depth + 1 > m_bounds.maxDepth) {
            warnOnce(shownPath, QStringLiteral("deeper than %1 folders below %2")
                                    .arg(m_bounds.maxDepth)
                                    .arg(m_root));
        } else if (child.is_symlink(unreadable) && !mayFollowLinkTo(child.path().native())) {
            warnOnce(shownPath, QStringLiteral("a symbolic link to a folder that holds no "
                                               "applications"));
        } else {
            walk(child.path().native(), childRelative + u'/', depth + 1);
        }
    }
}

}  // namespace tessora
