#include "workspace/AppCatalog.h"

#include "workspace/NameOrder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStringDecoder>
#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <vector>

namespace tessora {

namespace {

// Debug messages (the ordinary filtering of entries) are off unless enabled by logging rules.
Q_LOGGING_CATEGORY(lcCatalog, "tessora.catalog", QtInfoMsg)

namespace fs = std::filesystem;

constexpr QLatin1StringView kEntrySuffix(".desktop");

enum class Verdict { Listed, Filtered, NotLaunchable };

bool namesAny(const QStringList& desktops, const QStringList& current) {
    return std::any_of(desktops.begin(), desktops.end(),
                       [&](const QString& desktop) { return current.contains(desktop); });
}

Verdict judge(const DesktopEntry& entry, const CatalogEnvironment& env) {
    if (entry.noDisplay || entry.hidden || entry.type != u"Application") {
        return Verdict::Filtered;
    }
    if (!entry.onlyShowIn.isEmpty() && !namesAny(entry.onlyShowIn, env.currentDesktops)) {
        return Verdict::Filtered;
    }
    if (namesAny(entry.notShowIn, env.currentDesktops)) {
        return Verdict::Filtered;
    }
    if (!entry.tryExec.isEmpty() && env.programExists && !env.programExists(entry.tryExec)) {
        return Verdict::Filtered;
    }
    if (entry.exec.trimmed().isEmpty() && !entry.dbusActivatable) {
        return Verdict::NotLaunchable;
    }
    return Verdict::Listed;
}

// "sub/foo.desktop" -> "sub-foo"
QString idFromRelativePath(QString relative) {
    relative.chop(kEntrySuffix.size());
    relative.replace(u'/', u'-');
    return relative;
}

// The file name of the entry without ".desktop": the name of last resort.
QString entryBaseName(const QString& path) {
    QString name = path.mid(path.lastIndexOf(u'/') + 1);
    if (name.endsWith(kEntrySuffix)) {
        name.chop(kEntrySuffix.size());
    }
    return name;
}

QString withoutTrailingSlash(QString folder) {
    while (folder.size() > 1 && folder.endsWith(u'/')) {
        folder.chop(1);
    }
    return folder;
}

// Claims `id` for the caller; false when it cannot be listed because it is empty, was claimed
// before, or is this application's own (which is still claimed).
bool claim(const QString& id, const CatalogEnvironment& env, Found& found) {
    if (id.isEmpty()) {
        return false;
    }
    const qsizetype before = found.claimed.size();
    found.claimed.insert(id);
    return found.claimed.size() != before && id != env.ownId;
}

// Walks one application folder depth-first, in byte order of the names so that the first of
// two files with the same id (sub-foo.desktop, sub/foo.desktop) is always the same one.
class FolderWalk {
public:
    // Called with each entry's path and id.
    using Visitor = std::function<void(const QString& path, const QString& id)>;

    FolderWalk(const QString& root, const CatalogEnvironment& env, Visitor onEntry,
               std::stop_token stop)
        : m_root(withoutTrailingSlash(root)),
          m_env(env),
          m_onEntry(std::move(onEntry)),
          m_stop(std::move(stop)) {}

    void run() {
        const fs::path rootPath(QFile::encodeName(m_root).toStdString());
        std::error_code error;
        if (!fs::is_directory(rootPath, error)) {
            return;  // most of the XDG folders do not exist on a given machine
        }
        walk(rootPath, QString());
    }

private:
    void walk(const fs::path& folder, const QString& relative) {
        std::error_code error;
        const fs::path canonical = fs::canonical(folder, error);
        if (error) {
            qCWarning(lcCatalog).noquote() << "Cannot enter the folder" << folderPath(relative)
                                           << ":" << error.message().c_str();
            return;
        }
        // Symbolic links are followed, so a folder may be reached again: through a loop or
        // a second link. Each folder is walked once.
        if (!m_entered.insert(canonical.native()).second) {
            qCDebug(lcCatalog).noquote() << "Not entering" << folderPath(relative)
                                         << "again (a symbolic link loop or a second link to it)";
            return;
        }

        for (const fs::directory_entry& child : listFolder(folder, relative)) {
            if (m_stop.stop_requested()) {
                return;
            }
            visit(child, relative);
        }
    }

    std::vector<fs::directory_entry> listFolder(const fs::path& folder, const QString& relative) {
        std::vector<fs::directory_entry> children;
        std::error_code error;
        fs::directory_iterator it(folder, error);
        for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
            if (!it->path().filename().native().starts_with('.')) {
                children.push_back(*it);
            }
        }
        if (error) {
            qCWarning(lcCatalog).noquote() << "Cannot list the folder" << folderPath(relative)
                                           << ":" << error.message().c_str();
        }
        std::sort(children.begin(), children.end(), [](const auto& a, const auto& b) {
            return a.path().filename().native() < b.path().filename().native();
        });
        return children;
    }

    void visit(const fs::directory_entry& child, const QString& relative) {
        const std::string fileName = child.path().filename().native();
        std::error_code error;
        const bool isFolder = child.is_directory(error);  // follows symbolic links
        const bool isEntry =
            !isFolder && fileName.ends_with(".desktop") && child.is_regular_file(error);
        if (!isFolder && !isEntry) {
            return;
        }
        m_decoder.resetState();
        const QString name = m_decoder(QByteArrayView(fileName.data(), qsizetype(fileName.size())));
        if (m_decoder.hasError()) {
            const QString path = QFile::decodeName(child.path().c_str());
            if (m_env.warnings->firstFor(path)) {
                qCWarning(lcCatalog).noquote()
                    << "Skipping" << path << ": its name is not valid UTF-8";
            }
            return;
        }
        const QString childRelative = relative + name;
        if (isFolder) {
            walk(child.path(), childRelative + u'/');
        } else {
            m_onEntry(m_root + u'/' + childRelative, idFromRelativePath(childRelative));
        }
    }

    QString folderPath(const QString& relative) const { return m_root + u'/' + relative; }

    const QString m_root;
    const CatalogEnvironment& m_env;
    const Visitor m_onEntry;
    const std::stop_token m_stop;
    std::set<std::string> m_entered;  // canonical paths of the folders walked
    QStringDecoder m_decoder{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
};

void sortByName(InstalledApps& apps) {
    const QCollator collator = standardNameCollator();
    std::stable_sort(apps.begin(), apps.end(), [&](const InstalledApp& a, const InstalledApp& b) {
        return collator.compare(a.name, b.name) < 0;
    });
}

}  // namespace

bool programIsInstalled(const QString& program, const QStringList& searchPath) {
    const auto isProgram = [](const QString& path) {
        const QFileInfo info(path);
        return info.isFile() && info.isExecutable();
    };
    if (program.isEmpty()) {
        return false;
    }
    if (QDir::isAbsolutePath(program)) {
        return isProgram(program);
    }
    return std::any_of(searchPath.begin(), searchPath.end(),
                       [&](const QString& folder) { return isProgram(folder + u'/' + program); });
}

CatalogEnvironment CatalogEnvironment::fromProcess() {
    CatalogEnvironment env;

    // Relative folders in the XDG variables are invalid and ignored.
    const auto absoluteFolders = [](const QString& value) {
        QStringList folders;
        for (const QString& folder : value.split(u':', Qt::SkipEmptyParts)) {
            if (QDir::isAbsolutePath(folder)) {
                folders.append(QDir::cleanPath(folder));
            }
        }
        return folders;
    };

    // XDG_DATA_HOME names a single folder.
    const QString dataHomeValue = qEnvironmentVariable("XDG_DATA_HOME");
    const QString dataHome = QDir::isAbsolutePath(dataHomeValue)
                                 ? QDir::cleanPath(dataHomeValue)
                                 : QDir::homePath() + QStringLiteral("/.local/share");
    QStringList dataDirs = absoluteFolders(qEnvironmentVariable("XDG_DATA_DIRS"));
    if (dataDirs.isEmpty()) {
        dataDirs = {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")};
    }

    for (const QString& base : QStringList{dataHome} + dataDirs) {
        const QString folder = QDir::cleanPath(base + QStringLiteral("/applications"));
        if (!env.applicationFolders.contains(folder)) {
            env.applicationFolders.append(folder);
        }
    }
    env.currentDesktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);

    const QStringList searchPath = absoluteFolders(qEnvironmentVariable("PATH"));
    env.programExists = [searchPath](const QString& program) {
        return programIsInstalled(program, searchPath);
    };
    return env;
}

QString desktopFileId(const QString& applicationsFolder, const QString& entryPath) {
    const QString folder = withoutTrailingSlash(applicationsFolder);
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
    if (!entryPath.startsWith(prefix) || !entryPath.endsWith(kEntrySuffix) ||
        entryPath.size() <= prefix.size() + kEntrySuffix.size()) {
        return {};
    }
    return idFromRelativePath(entryPath.mid(prefix.size()));
}

bool isUserApp(const DesktopEntry& entry, const CatalogEnvironment& env) {
    return judge(entry, env) == Verdict::Listed;
}

void addBundle(const QString& entryPath, const QString& id, const CatalogEnvironment& env,
               Found& found) {
    if (!claim(id, env, found)) {
        return;
    }
    QString problem;
    const std::optional<DesktopEntry> entry = readDesktopEntry(entryPath, &problem);
    if (!entry) {
        if (env.warnings->firstFor(entryPath)) {
            qCWarning(lcCatalog).noquote()
                << "Skipping the desktop entry" << entryPath << ":" << problem;
        }
        return;
    }
    switch (judge(*entry, env)) {
        case Verdict::Listed:
            break;
        case Verdict::Filtered:
            qCDebug(lcCatalog).noquote()
                << "Not listing" << entryPath << ": hidden or not for this desktop";
            return;
        case Verdict::NotLaunchable:
            if (env.warnings->firstFor(entryPath)) {
                qCWarning(lcCatalog).noquote()
                    << "Not listing" << entryPath
                    << ": it has no Exec and is not D-Bus activatable, so it "
                       "cannot be launched";
            }
            return;
    }
    found.apps.append(InstalledApp{id, entry->name.value_or(entryBaseName(entryPath)), entryPath,
                                   entry->unlocalizedName});
}

QList<DesktopEntryFile> desktopEntryFiles(const CatalogEnvironment& env) {
    QSet<QString> claimed;
    QList<DesktopEntryFile> files;
    for (const QString& folder : env.applicationFolders) {
        FolderWalk(folder, env,
                   [&](const QString& path, const QString& id) {
                       if (!id.isEmpty() && !claimed.contains(id)) {
                           claimed.insert(id);
                           files.append({id, path});
                       }
                   },
                   {})
            .run();
    }
    return files;
}

void addRunningApplication(const RunningApplication& app, const CatalogEnvironment& env,
                           Found& found) {
    if (!app.regular) {
        return;
    }
    if (app.matchesEntry()) {
        addBundle(app.location, app.id, env, found);
        return;
    }
    if (!claim(app.id, env, found)) {
        return;
    }
    found.apps.append(
        InstalledApp{app.id, app.name.isEmpty() ? app.id : app.name, app.location, std::nullopt});
}

InstalledApps scanApplications(const CatalogEnvironment& env,
                               const QList<RunningApplication>& running, std::stop_token stop) {
    Found found;
    for (const QString& folder : env.applicationFolders) {
        if (stop.stop_requested()) {
            break;
        }
        FolderWalk(
            folder, env,
            [&](const QString& path, const QString& id) { addBundle(path, id, env, found); }, stop)
            .run();
    }

    // Code-point order of the locations, so that the first of two running applications with
    // the same id does not depend on the window system's order. UTF-8 bytes sort that way.
    QList<std::pair<QByteArray, const RunningApplication*>> byLocation;
    byLocation.reserve(running.size());
    for (const RunningApplication& app : running) {
        byLocation.append({app.location.toUtf8(), &app});
    }
    std::stable_sort(byLocation.begin(), byLocation.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [location, app] : byLocation) {
        if (stop.stop_requested()) {
            break;
        }
        addRunningApplication(*app, env, found);
    }

    sortByName(found.apps);
    return found.apps;
}

}  // namespace tessora
