#include "platform/x11/EntryLauncher.h"

#include "platform/DesktopEntry.h"
#include "platform/DesktopExec.h"
#include "platform/x11/DBusActivation.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <vector>

#include <glib.h>
#include <unistd.h>

namespace tessora::x11 {

namespace {

constexpr char kPidVariable[] = "GIO_LAUNCHED_DESKTOP_FILE_PID=";
constexpr std::size_t kPidDigits = 20;

// The terminal emulators tried for Terminal=true, with the option after which each takes the
// command to run: the system's choice first, then the common ones.
struct Terminal {
    const char* program;
    const char* option;  // null: the command follows directly
};
constexpr Terminal kTerminals[] = {
    {"x-terminal-emulator", "-e"},
    {"xdg-terminal-exec", nullptr},
    {"gnome-terminal", "--"},
    {"konsole", "-e"},
    {"xfce4-terminal", "-x"},
    {"mate-terminal", "-x"},
    {"tilix", "-e"},
    {"xterm", "-e"},
};

// The command with a terminal emulator in front; empty when none is installed.
QStringList inTerminal(const QStringList& command) {
    for (const Terminal& terminal : kTerminals) {
        gchar* found = g_find_program_in_path(terminal.program);
        if (!found) {
            continue;
        }
        QStringList result{QFile::decodeName(found)};
        g_free(found);
        if (terminal.option) {
            result << QString::fromLatin1(terminal.option);
        }
        return result + command;
    }
    return {};
}

// Writes the process id into the variable reserved for it. Runs in the child between fork and
// exec, so it only does what is safe there: no allocation, no locks.
void writePid(gpointer data) {
    char* digits = static_cast<char*>(data);
    char reversed[kPidDigits];
    std::size_t count = 0;
    for (auto pid = static_cast<unsigned long>(::getpid());
         count < kPidDigits && (count == 0 || pid); pid /= 10) {
        reversed[count++] = static_cast<char>('0' + pid % 10);
    }
    for (std::size_t i = 0; i < count; ++i) {
        digits[i] = reversed[count - 1 - i];
    }
    digits[count] = '\0';
}

// The environment of the child, as owned strings and the array of pointers g_spawn takes.
class ChildEnvironment {
public:
    ChildEnvironment(const QByteArray& display, const QByteArray& startupId,
                     const QString& entryPath) {
        gchar** inherited = g_get_environ();
        const QList<QByteArray> replaced = {
            "DISPLAY=", "DESKTOP_STARTUP_ID=", "GIO_LAUNCHED_DESKTOP_FILE=", kPidVariable};
        for (gchar** variable = inherited; *variable; ++variable) {
            const QByteArray text(*variable);
            const bool ours =
                std::any_of(replaced.begin(), replaced.end(),
                            [&](const QByteArray& name) { return text.startsWith(name); });
            if (!ours) {
                m_strings.push_back(text);
            }
        }
        g_strfreev(inherited);
        if (!display.isEmpty()) {
            m_strings.push_back("DISPLAY=" + display);
        }
        if (!startupId.isEmpty()) {
            m_strings.push_back("DESKTOP_STARTUP_ID=" + startupId);
        }
        m_strings.push_back("GIO_LAUNCHED_DESKTOP_FILE=" + QFile::encodeName(entryPath));
        m_strings.push_back(QByteArray(kPidVariable) + QByteArray(kPidDigits + 1, '\0'));
        for (QByteArray& text : m_strings) {
            m_pointers.push_back(text.data());
        }
        m_pointers.push_back(nullptr);
    }

    gchar** pointers() { return m_pointers.data(); }
    // Where the child writes its process id.
    char* pidDigits() { return m_strings.back().data() + std::strlen(kPidVariable); }

private:
    std::vector<QByteArray> m_strings;
    std::vector<gchar*> m_pointers;
};

EntryLaunch failed(const QString& entryPath, const QString& why) {
    return {false, 0,
            QStringLiteral("Launching %1 failed: %2").arg(QFileInfo(entryPath).fileName(), why)};
}

EntryLaunch spawn(const QStringList& command, const QString& folder, ChildEnvironment& environment,
                  const QString& entryPath) {
    std::vector<QByteArray> arguments;
    for (const QString& argument : command) {
        arguments.push_back(QFile::encodeName(argument));
    }
    std::vector<gchar*> argv;
    for (QByteArray& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const QByteArray workingFolder = QFile::encodeName(folder);

    const auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL |
                                                G_SPAWN_STDERR_TO_DEV_NULL);
    GPid pid = 0;
    GError* error = nullptr;
    if (!g_spawn_async(workingFolder.isEmpty() ? nullptr : workingFolder.constData(), argv.data(),
                       environment.pointers(), flags, &writePid, environment.pidDigits(), &pid,
                       &error)) {
        const QString why = error ? QString::fromUtf8(error->message) : QString();
        g_clear_error(&error);
        return failed(entryPath, why);
    }
    return {true, pid, {}};
}

}  // namespace

EntryLaunch EntryLauncher::launch(const QString& entryPath, const QByteArray& display,
                                  const QByteArray& startupId) {
    QString problem;
    const std::optional<DesktopEntry> entry = readDesktopEntry(entryPath, &problem);
    if (!entry) {
        return failed(entryPath, problem);
    }

    QString dbusProblem;
    if (entry->dbusActivatable) {
        const QString appId = dbusApplicationId(entryPath);
        dbusProblem = appId.isEmpty() ? QStringLiteral("its file name is no D-Bus name to activate")
                                      : activateOverDBus(appId, startupId);
        if (dbusProblem.isEmpty()) {
            return {true, 0, {}};
        }
    }

    QStringList command = execCommandLine(*entry, entryPath);
    if (command.isEmpty()) {
        if (!dbusProblem.isEmpty()) {
            return failed(entryPath, dbusProblem);
        }
        if (entry->execIsNotUtf8) {
            return failed(entryPath, QStringLiteral("its Exec line is not valid UTF-8"));
        }
        if (entry->exec.trimmed().isEmpty()) {
            return failed(entryPath, QStringLiteral("it has no Exec line"));
        }
        execWords(entry->exec, &problem);
        return failed(entryPath, QStringLiteral("its Exec line cannot be read (%1)").arg(problem));
    }
    if (entry->terminal) {
        command = inTerminal(command);
        if (command.isEmpty()) {
            return failed(entryPath, QStringLiteral("it runs in a terminal, and no terminal "
                                                    "emulator is installed"));
        }
    }
    ChildEnvironment environment(display, startupId, entryPath);
    return spawn(command, entry->workingFolder, environment, entryPath);
}

}  // namespace tessora::x11
