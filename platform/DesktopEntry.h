#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

namespace tessora {

// The keys of an XDG desktop entry's [Desktop Entry] group that the catalog and the launcher
// use. String values that are not valid UTF-8 are treated as absent (empty for the plain
// strings, an empty list for the lists); booleans that cannot be read are false.
struct DesktopEntry {
    QString type;  // "Application", "Link", "Directory", ...
    // Name in the user's language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG), else the plain Name.
    std::optional<QString> name;
    std::optional<QString> unlocalizedName;  // the plain Name
    bool noDisplay = false;
    bool hidden = false;
    bool dbusActivatable = false;
    bool terminal = false;
    QStringList onlyShowIn;
    QStringList notShowIn;
    QString tryExec;
    QString exec;  // as written in the file (key-file escapes undone, field codes kept)
    bool execIsNotUtf8 = false;  // there is an Exec value, unreadable as it is not valid UTF-8
    QString workingFolder;       // Path: the folder to start the program in, when set
    QString icon;
    QString startupWmClass;
    // X-GNOME-Autostart-enabled=false: an autostart entry switched off (GNOME's own key, which
    // other desktops honour too).
    bool autostartDisabled = false;
};

// A desktop entry file of the application folders, under the desktop file ID it has (without
// ".desktop"), with what it holds: absent when it cannot be read, `problem` then saying why.
struct DesktopEntryFile {
    QString id;
    QString path;
    std::optional<DesktopEntry> entry;
    QString problem;
};

// Larger files are refused unread: real desktop entries are a few kilobytes, even with every
// translation.
inline constexpr qsizetype kMaxDesktopEntryBytes = 1024 * 1024;

// Reads the desktop entry at `path`. Absent when the file cannot be read, is not a regular
// file, is larger than kMaxDesktopEntryBytes, is not a key file or has no [Desktop Entry]
// group; `problem` then says why (for the log).
std::optional<DesktopEntry> readDesktopEntry(const QString& path, QString* problem = nullptr);

// The same for the contents of a file.
std::optional<DesktopEntry> parseDesktopEntry(QByteArrayView data, QString* problem = nullptr);

}  // namespace tessora
