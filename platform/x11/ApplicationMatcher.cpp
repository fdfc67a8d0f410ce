#include "platform/x11/ApplicationMatcher.h"

#include "platform/DesktopEntry.h"
#include "platform/x11/ProcessInfo.h"
#include "platform/x11/X11Log.h"

#include <QFileInfo>
#include <algorithm>

namespace tessora::x11 {

KnownEntry KnownEntry::fromEntry(const QString& id, const QString& path,
                                 const DesktopEntry& entry) {
    return KnownEntry{id,
                      path,
                      entry.name.value_or(id),
                      entry.startupWmClass,
                      entry.exec,
                      entry.noDisplay || entry.hidden};
}

std::optional<KnownEntry> KnownEntry::fromFile(const QString& id, const QString& path) {
    QString problem;
    const std::optional<DesktopEntry> entry = readDesktopEntry(path, &problem);
    if (!entry) {
        qCDebug(lcX11) << "skipping desktop entry" << path << problem;
        return std::nullopt;
    }
    return fromEntry(id, path, *entry);
}

void ApplicationMatcher::setEntries(const QList<KnownEntry>& entries) {
    // Shown entries first, each group in precedence order.
    m_entries = entries;
    std::stable_partition(m_entries.begin(), m_entries.end(),
                          [](const KnownEntry& entry) { return !entry.hidden; });
    m_byPath.clear();
    m_byId.clear();
    m_byWmClass.clear();
    // The first entry of an id or class wins, as the entries come in precedence order.
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const KnownEntry& entry = m_entries[i];
        m_byPath.insert(entry.path, i);
        if (!m_byId.contains(entry.id.toLower())) {
            m_byId.insert(entry.id.toLower(), i);
        }
        if (!entry.startupWmClass.isEmpty() &&
            !m_byWmClass.contains(entry.startupWmClass.toLower())) {
            m_byWmClass.insert(entry.startupWmClass.toLower(), i);
        }
    }
}

ApplicationMatch ApplicationMatcher::matchOf(const KnownEntry& entry) const {
    return {entry.id, entry.name, entry.path};
}

QString ApplicationMatcher::execProgram(const QString& exec) {
    QStringList words;
    QString word;
    bool quoted = false;
    bool inWord = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < exec.size()) {
                word += exec[++i];
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            inWord = true;
        } else if (c.isSpace()) {
            if (inWord) {
                words << word;
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        words << word;
    }
    qsizetype first = 0;
    if (!words.isEmpty() && QFileInfo(words.front()).fileName() == QLatin1String("env")) {
        first = 1;
        while (first < words.size() &&
               (words[first].contains(QLatin1Char('=')) || words[first].startsWith('-'))) {
            ++first;
        }
    }
    return first < words.size() ? words[first] : QString();
}

const KnownEntry* ApplicationMatcher::byExecutable(const QString& executable) const {
    const QString canonical = QFileInfo(executable).canonicalFilePath();
    const QString baseName = QFileInfo(executable).fileName();
    for (const KnownEntry& entry : m_entries) {
        const QString program = execProgram(entry.exec);
        if (program.isEmpty()) {
            continue;
        }
        if (program.contains(QLatin1Char('/'))) {
            const QString target = QFileInfo(program).canonicalFilePath();
            if (!target.isEmpty() && (target == canonical || program == executable)) {
                return &entry;
            }
        } else if (program == baseName) {
            return &entry;
        }
    }
    return nullptr;
}

ApplicationMatch ApplicationMatcher::match(const WindowFacts& facts) const {
    if (facts.pid) {
        // Children inherit the variable, so it counts only for the very process GIO launched.
        const std::optional<QByteArray> launched =
            processEnvironmentValue(*facts.pid, "GIO_LAUNCHED_DESKTOP_FILE");
        const std::optional<QByteArray> launchedPid =
            processEnvironmentValue(*facts.pid, "GIO_LAUNCHED_DESKTOP_FILE_PID");
        if (launched && launchedPid && launchedPid->toLongLong() == *facts.pid) {
            const auto it = m_byPath.constFind(QString::fromLocal8Bit(*launched));
            if (it != m_byPath.constEnd()) {
                return matchOf(m_entries[*it]);
            }
        }
    }
    if (facts.gtkApplicationId) {
        const auto it = m_byId.constFind(facts.gtkApplicationId->toLower());
        if (it != m_byId.constEnd()) {
            return matchOf(m_entries[*it]);
        }
    }
    if (facts.windowClass) {
        for (const QString& name : {facts.windowClass->instance, facts.windowClass->className}) {
            const auto it = m_byWmClass.constFind(name.toLower());
            if (!name.isEmpty() && it != m_byWmClass.constEnd()) {
                return matchOf(m_entries[*it]);
            }
        }
        for (const QString& name : {facts.windowClass->instance, facts.windowClass->className}) {
            const auto it = m_byId.constFind(name.toLower());
            if (!name.isEmpty() && it != m_byId.constEnd()) {
                return matchOf(m_entries[*it]);
            }
        }
    }
    const std::optional<QString> executable =
        facts.pid ? processExecutable(*facts.pid) : std::nullopt;
    if (executable) {
        if (const KnownEntry* entry = byExecutable(*executable)) {
            return matchOf(*entry);
        }
    }

    ApplicationMatch own;
    if (facts.windowClass) {
        own.id = !facts.windowClass->className.isEmpty() ? facts.windowClass->className
                                                         : facts.windowClass->instance;
    }
    if (own.id.isEmpty() && executable) {
        own.id = QFileInfo(*executable).fileName();
    }
    own.name = own.id;
    own.location = executable.value_or(QString());
    return own;
}

}  // namespace tessora::x11
