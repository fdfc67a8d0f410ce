#include "platform/IconLookup.h"

#include "platform/DesktopEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStandardPaths>
#include <algorithm>

namespace tessora {

namespace {

// The groups of a theme's index.theme as key/value maps (a theme index is a plain key file).
QHash<QString, QHash<QString, QString>> readIndex(const QString& path) {
    QHash<QString, QHash<QString, QString>> groups;
    QFile file(path);
    constexpr qint64 maxIndexBytes = 1024 * 1024;
    if (file.size() > maxIndexBytes || !file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return groups;
    }
    QString group;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0) {
            groups[group].insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
        }
    }
    return groups;
}

struct ThemeFolder {
    QString path;
    bool scalable = false;
    int size = 0;
};

// The application folders of one theme under every root, best first.
QList<ThemeFolder> applicationFolders(const QString& theme, const QStringList& roots,
                                      QStringList* inherits) {
    QList<ThemeFolder> folders;
    for (const QString& root : roots) {
        const QString base = root + QLatin1Char('/') + theme;
        const auto index = readIndex(base + QStringLiteral("/index.theme"));
        const auto main = index.value(QStringLiteral("Icon Theme"));
        if (inherits && inherits->isEmpty()) {
            *inherits =
                main.value(QStringLiteral("Inherits")).split(QLatin1Char(','), Qt::SkipEmptyParts);
        }
        const QStringList directories =
            main.value(QStringLiteral("Directories")).split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString& directory : directories) {
            const auto keys = index.value(directory.trimmed());
            const QString context = keys.value(QStringLiteral("Context"));
            if (directory.contains(QLatin1String("symbolic")) ||
                (context != QLatin1String("Applications") &&
                 !directory.contains(QLatin1String("apps")))) {
                continue;
            }
            const QString path = base + QLatin1Char('/') + directory.trimmed();
            if (!QFileInfo(path).isDir()) {
                continue;
            }
            const int scale = std::max(1, keys.value(QStringLiteral("Scale")).toInt());
            folders.append({path, keys.value(QStringLiteral("Type")) == QLatin1String("Scalable"),
                            keys.value(QStringLiteral("Size")).toInt() * scale});
        }
    }
    std::stable_sort(folders.begin(), folders.end(),
                     [](const ThemeFolder& a, const ThemeFolder& b) {
                         return a.scalable != b.scalable ? a.scalable : a.size > b.size;
                     });
    return folders;
}

}  // namespace

IconDirectories::IconDirectories(const QString& themeName, const QStringList& iconRoots,
                                 const QStringList& pixmapFolders) {
    QStringList chain{themeName};
    QSet<QString> seen;
    // Inherited themes are visited breadth first; hicolor always comes last.
    for (qsizetype i = 0; i < chain.size() && i < 16; ++i) {
        const QString theme = chain[i].trimmed();
        if (theme.isEmpty() || theme == QLatin1String("hicolor") || seen.contains(theme)) {
            continue;
        }
        seen.insert(theme);
        QStringList inherits;
        for (const ThemeFolder& folder : applicationFolders(theme, iconRoots, &inherits)) {
            m_folders.append(folder.path);
        }
        chain.append(inherits);
    }
    for (const ThemeFolder& folder :
         applicationFolders(QStringLiteral("hicolor"), iconRoots, nullptr)) {
        m_folders.append(folder.path);
    }
    m_folders.append(pixmapFolders);
}

IconDirectories IconDirectories::standard(const QString& themeName) {
    QStringList roots{QDir::homePath() + QStringLiteral("/.icons")};
    QStringList pixmaps;
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        roots.append(data + QStringLiteral("/icons"));
        pixmaps.append(data + QStringLiteral("/pixmaps"));
    }
    return IconDirectories(themeName, roots, pixmaps);
}

QString IconDirectories::find(const QString& iconName) const {
    QString name = iconName;
    // Some entries name the file of a legacy icon with its extension.
    for (const char* extension : {".png", ".svg", ".xpm"}) {
        if (name.endsWith(QLatin1String(extension))) {
            name.chop(4);
        }
    }
    for (const QString& folder : m_folders) {
        for (const char* extension : {".png", ".svg", ".xpm"}) {
            const QString path = folder + QLatin1Char('/') + name + QLatin1String(extension);
            if (QFileInfo::exists(path)) {
                return path;
            }
        }
    }
    return {};
}

QString appIconFile(const InstalledApp& app, const IconDirectories& directories) {
    if (!app.url.endsWith(QLatin1String(".desktop"))) {
        return {};
    }
    const auto entry = readDesktopEntry(app.url);
    if (!entry) {
        return {};
    }
    const QString key = entry->icon.trimmed();
    if (key.isEmpty()) {
        return {};
    }
    if (QFileInfo(key).isAbsolute()) {
        return QFileInfo::exists(key) ? key : QString();
    }
    if (key.contains(QLatin1Char('/'))) {
        return {};
    }
    return directories.find(key);
}

}  // namespace tessora
