#pragma once

#include "platform/DesktopEntry.h"
#include "platform/x11/X11WindowFacts.h"

#include <QHash>
#include <QList>
#include <QString>
#include <functional>

namespace tessora::x11 {

// A desktop entry the backend can match windows to. The backend does not scan folders itself:
// whoever knows the application folders (the catalog) hands these over.
struct KnownEntry {
    QString id;    // desktop file ID without ".desktop"
    QString path;  // the entry's file
    QString name;
    QString startupWmClass;
    QString exec;  // as written, field codes kept
    // NoDisplay or Hidden: a helper entry of an application, or one the user hid. Its windows
    // are still its own, but a window that a shown entry also claims goes to the shown one.
    bool hidden = false;

    static KnownEntry fromEntry(const QString& id, const QString& path, const DesktopEntry& entry);
    // Reads the entry at `path` (absent when it cannot be read; the reason is logged).
    static std::optional<KnownEntry> fromFile(const QString& id, const QString& path);

    friend bool operator==(const KnownEntry&, const KnownEntry&) = default;
};

// Lists the entries to match against; called again whenever the backend is asked to refresh.
// Absent when nothing changed since the last call.
using KnownEntrySource = std::function<std::optional<QList<KnownEntry>>()>;

// The application a window belongs to.
struct ApplicationMatch {
    QString id;
    QString name;
    QString location;  // the entry's path, or the executable when no entry matched
};

// Matches windows to desktop entries the way docks do, in this order: GIO_LAUNCHED_DESKTOP_FILE
// in the process environment (when the process is the one GIO launched), _GTK_APPLICATION_ID,
// WM_CLASS instance then class against StartupWMClass (case-insensitive), WM_CLASS against the
// desktop file ID, the executable against Exec; within each step a shown entry before a hidden
// one. A window that matches none gets an application of its own: the id from WM_CLASS, the
// location of its executable.
class ApplicationMatcher {
public:
    void setEntries(const QList<KnownEntry>& entries);

    // Empty id when the window says nothing to go by (no class, no pid).
    ApplicationMatch match(const WindowFacts& facts) const;

    // The program an Exec line runs: its first word, quotes undone, `env` and its assignments
    // skipped.
    static QString execProgram(const QString& exec);

private:
    ApplicationMatch matchOf(const KnownEntry& entry) const;
    const KnownEntry* byExecutable(const QString& executable) const;

    QList<KnownEntry> m_entries;
    QHash<QString, qsizetype> m_byPath;
    QHash<QString, qsizetype> m_byId;       // lower case
    QHash<QString, qsizetype> m_byWmClass;  // lower case
};

}  // namespace tessora::x11
