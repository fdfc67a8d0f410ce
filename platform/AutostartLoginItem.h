#pragma once

#include "platform/LoginItem.h"

#include <QStringList>

namespace tessora {

// The login item as an XDG autostart entry, org.tessora.Tessora.desktop.
//
// Enabled means: the first entry of that name, in <configHome>/autostart and then in each
// <configDir>/autostart, is an application entry that is neither Hidden nor switched off with
// X-GNOME-Autostart-enabled=false. Registering writes the user's entry at once (a temporary file
// renamed over it) with the program's absolute path; unregistering removes the user's entry
// and, where a system-wide entry would still start the program, writes a user entry with
// Hidden=true that masks it. Failures come back as the system's description of the error.
class AutostartLoginItem final : public LoginItem {
public:
    static constexpr char entryName[] = "org.tessora.Tessora.desktop";

    // `configHome` is $XDG_CONFIG_HOME (or ~/.config), `configDirs` the system folders of
    // $XDG_CONFIG_DIRS (or /etc/xdg), most important first.
    AutostartLoginItem(QString configHome, QStringList configDirs, QString programPath);
    // The folders of the process's environment.
    static QStringList configDirsFromEnvironment();

    bool enabled() const override;
    QString setEnabled(bool enabled) override;

    QString userEntryPath() const;

private:
    bool systemEntryStarts() const;
    QString writeUserEntry(bool hidden) const;

    QString m_configHome;
    QStringList m_configDirs;
    QString m_programPath;
};

// An argument of an Exec line: quoted (with ", `, $ and \ escaped) when it holds a character the
// Desktop Entry rules reserve, with % doubled; ready to be written as a key file value.
QString execArgument(const QString& argument);

}  // namespace tessora
