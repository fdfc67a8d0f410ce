#include "workspace/AppCatalog.h"

#include "platform/DesktopExec.h"
#include "workspace/ApplicationFolderWalk.h"
#include "workspace/EntryFileReads.h"
#include "workspace/NameOrder.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <algorithm>

namespace tessora {

namespace {

// Debug messages (the ordinary filtering of entries) are off unless enabled by logging rules.
Q_LOGGING_CATEGORY(lcCatalog, "tessora.catalog", QtInfoMsg)

constexpr QLatin1StringView kEntrySuffix(".desktop");

enum class Verdict { Listed, Filtered, NotLaunchable };

struct Judgement {
    Verdict verdict = Verdict::Listed;
    QString why;  // for an entry that cannot be launched
};

bool namesAny(const QStringList& desktops, const QStringList& current) {
    return std::any_of(desktops.begin(), desktops.end(),
                       [&](const QString& desktop) { return current.contains(desktop); });
}

// Why the Exec line cannot start anything; empty when it can.
QString execProblem(const DesktopEntry& entry, const CatalogEnvironment& env) {
    if (entry.execIsNotUtf8) {
        return QStringLiteral("its Exec line is not valid UTF-8");
    }
    if (entry.exec.trimmed().isEmpty()) {
        return QStringLiteral("it has no Exec line and is not D-Bus activatable");
    }
    QString problem;
    const std::optional<QStringList> words = execWords(entry.exec, &problem);
    if (!words || words->isEmpty()) {
        return QStringLiteral("its Exec line cannot be read (%1)").arg(problem);
    }
    if (env.programExists && !env.programExists(words->front())) {
        return QStringLiteral("its program %1 is not installed").arg(words->front());
    }
    return {};
}

Judgement judge(const DesktopEntry& entry, const CatalogEnvironment& env) {
    if (entry.noDisplay || entry.hidden || entry.type != u"Application") {
        return {Verdict::Filtered, {}};
    }
    if (!entry.onlyShowIn.isEmpty() && !namesAny(entry.onlyShowIn, env.currentDesktops)) {
        return {Verdict::Filtered, {}};
    }
    if (namesAny(entry.notShowIn, env.currentDesktops)) {
        return {Verdict::Filtered, {}};
    }
    if (!entry.tryExec.isEmpty() && env.programExists && !env.programExists(entry.tryExec)) {
        return {Verdict::Filtered, {}};
    }
    if (entry.dbusActivatable) {
        return {Verdict::Listed, {}};  // its Exec line is only what a launch falls back to
    }
    QString problem = execProblem(entry, env);
    if (!problem.isEmpty()) {
        return {Verdict::NotLaunchable, std::move(problem)};
    }
    return {Verdict::Listed, {}};
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

DesktopEntryFile readEntryFile(const QString& path, const QString& id) {
    DesktopEntryFile file{id, path, std::nullopt, {}};
    file.entry = readDesktopEntry(path, &file.problem);
    return file;
}

// Lists the entry of a file whose id the caller has claimed, if a user would launch it.
void consider(const DesktopEntryFile& file, const CatalogEnvironment& env, Found& found) {
    if (!file.entry) {
        if (env.warnings->firstFor(file.path)) {
            qCWarning(lcCatalog).noquote()
                << "Skipping the desktop entry" << file.path << ":" << file.problem;
        }
        return;
    }
    const Judgement judgement = judge(*file.entry, env);
    switch (judgement.verdict) {
        case Verdict::Listed:
            break;
        case Verdict::Filtered:
            qCDebug(lcCatalog).noquote()
                << "Not listing" << file.path << ": hidden or not for this desktop";
            return;
        case Verdict::NotLaunchable:
            if (env.warnings->firstFor(file.path)) {
                qCWarning(lcCatalog).noquote()
                    << "Not listing" << file.path << ":"
                    << judgement.why + QStringLiteral(", so it cannot be launched");
            }
            return;
    }
    found.apps.append(InstalledApp{file.id, file.entry->name.value_or(entryBaseName(file.path)),
                                   file.path, file.entry->unlocalizedName});
}

void sortByName(InstalledApps& apps) {
    // One sort key per name costs less than collating the names at every comparison.
    const QCollator collator = standardNameCollator();
    std::vector<std::pair<QCollatorSortKey, InstalledApp>> keyed;
    keyed.reserve(size_t(apps.size()));
    for (InstalledApp& app : apps) {
        keyed.emplace_back(collator.sortKey(app.name), std::move(app));
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    for (qsizetype i = 0; i < apps.size(); ++i) {
        apps[i] = std::move(keyed[size_t(i)].second);
    }
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
    return judge(entry, env).verdict == Verdict::Listed;
}

void addBundle(const QString& entryPath, const QString& id, const CatalogEnvironment& env,
               Found& found) {
    if (claim(id, env, found)) {
        consider(readEntryFile(entryPath, id), env, found);
    }
}

FolderScan scanApplicationFolders(const CatalogEnvironment& environment, std::stop_token stop) {
    // Thousands of entries name a few dozen programs: each is looked up once a scan.
    CatalogEnvironment env = environment;
    QHash<QString, bool> installed;
    if (environment.programExists) {
        env.programExists = [&installed, &environment](const QString& program) {
            const auto known = installed.constFind(program);
            return known != installed.constEnd()
                       ? *known
                       : *installed.insert(program, environment.programExists(program));
        };
    }
    // The walk decides which file owns each id; the owners are then read all at once.
    FolderScan scan;
    QList<EntryFileToRead> owners;
    for (const QString& folder : env.applicationFolders) {
        if (stop.stop_requested()) {
            break;
        }
        const auto onEntry = [&](const QString& path, const QString& id) {
            if (id.isEmpty() || scan.found.claimed.contains(id)) {
                return;  // another file owns the id: this one is not read
            }
            claim(id, env, scan.found);
            owners.append({path, id});
        };
        ApplicationFolderWalk(folder, env.applicationFolders, *env.warnings, onEntry, stop).run();
    }
    scan.files = readEntryFiles(owners, stop);
    for (const DesktopEntryFile& file : std::as_const(scan.files)) {
        if (stop.stop_requested()) {
            break;
        }
        if (file.id != env.ownId) {  // this application's own entry is read, not listed
            consider(file, env, scan.found);
        }
    }
    return scan;
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

InstalledApps completeCatalog(Found found, const CatalogEnvironment& env,
                              const QList<RunningApplication>& running, std::stop_token stop) {
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

InstalledApps scanApplications(const CatalogEnvironment& env,
                               const QList<RunningApplication>& running, std::stop_token stop) {
    return completeCatalog(scanApplicationFolders(env, stop).found, env, running, stop);
}

}  // namespace tessora
