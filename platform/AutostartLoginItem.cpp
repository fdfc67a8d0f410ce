#include "platform/AutostartLoginItem.h"

#include "platform/DefaultsFile.h"
#include "platform/DesktopEntry.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace tessora {

namespace {

QString autostartPath(const QString& configFolder) {
    return configFolder + QStringLiteral("/autostart/") +
           QLatin1StringView(AutostartLoginItem::entryName);
}

bool startsTheProgram(const DesktopEntry& entry) {
    return entry.type == u"Application" && !entry.hidden && !entry.autostartDisabled;
}

// Where an entry of that name is, absent or unreadable alike count as nothing there.
bool exists(const QString& path) {
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

// A key file value: backslashes doubled, line breaks escaped.
QString keyFileValue(QString value) {
    value.replace(u'\\', QStringLiteral("\\\\"));
    value.replace(u'\n', QStringLiteral("\\n"));
    value.replace(u'\r', QStringLiteral("\\r"));
    value.replace(u'\t', QStringLiteral("\\t"));
    return value;
}

}  // namespace

QString execArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString quoted = argument;
    quoted.replace(u'%', QStringLiteral("%%"));
    const bool needsQuotes =
        quoted.isEmpty() ||
        std::any_of(quoted.begin(), quoted.end(), [](QChar c) { return reserved.contains(c); });
    if (!needsQuotes) {
        return quoted;
    }
    QString result = QStringLiteral("\"");
    for (const QChar c : quoted) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
            result += u'\\';
        }
        result += c;
    }
    return result + u'"';
}

AutostartLoginItem::AutostartLoginItem(QString configHome, QStringList configDirs,
                                       QString programPath)
    : m_configHome(std::move(configHome)),
      m_configDirs(std::move(configDirs)),
      m_programPath(std::move(programPath)) {}

QStringList AutostartLoginItem::configDirsFromEnvironment() {
    QStringList folders;
    for (const QString& folder :
         qEnvironmentVariable("XDG_CONFIG_DIRS").split(u':', Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(folder)) {
            folders.append(QDir::cleanPath(folder));
        }
    }
    return folders.isEmpty() ? QStringList{QStringLiteral("/etc/xdg")} : folders;
}

QString AutostartLoginItem::userEntryPath() const {
    return autostartPath(m_configHome);
}

bool AutostartLoginItem::enabled() const {
    // The first entry of the name decides, whether it starts the program or masks the others.
    for (const QString& folder : QStringList{m_configHome} + m_configDirs) {
        const QString path = autostartPath(folder);
        if (exists(path)) {
            const std::optional<DesktopEntry> entry = readDesktopEntry(path);
            return entry && startsTheProgram(*entry);
        }
    }
    return false;
}

bool AutostartLoginItem::systemEntryStarts() const {
    for (const QString& folder : m_configDirs) {
        const QString path = autostartPath(folder);
        if (exists(path)) {
            const std::optional<DesktopEntry> entry = readDesktopEntry(path);
            return entry && startsTheProgram(*entry);
        }
    }
    return false;
}

QString AutostartLoginItem::writeUserEntry(bool hidden) const {
    // The folder first, so that a failure names the system's reason.
    std::error_code error;
    std::filesystem::create_directories(
        QFile::encodeName(QFileInfo(userEntryPath()).absolutePath()).toStdString(), error);
    if (error) {
        return QString::fromLocal8Bit(error.message().c_str());
    }
    QString text = QStringLiteral(
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Tessora\n"
        "Comment=Launch and arrange applications\n"
        "Icon=org.tessora.Tessora\n");
    if (hidden) {
        text += QStringLiteral("Hidden=true\n");
    } else {
        text += QStringLiteral("Exec=") + keyFileValue(execArgument(m_programPath)) +
                QStringLiteral("\nX-GNOME-Autostart-enabled=true\n");
    }
    return writeDefaultsFile(userEntryPath(), text.toUtf8()).value_or(QString());
}

QString AutostartLoginItem::setEnabled(bool enable) {
    if (enable) {
        return writeUserEntry(false);
    }
    const QByteArray path = QFile::encodeName(userEntryPath());
    if (::unlink(path.constData()) != 0 && errno != ENOENT) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    return systemEntryStarts() ? writeUserEntry(true) : QString();
}

}  // namespace tessora
