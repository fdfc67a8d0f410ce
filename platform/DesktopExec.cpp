#include "platform/DesktopExec.h"

#include "platform/DesktopEntry.h"

#include <glib.h>

namespace tessora {

namespace {

// Expands the field codes of one word; `dropped` is set when a word that was nothing but a
// code became nothing, which then is no argument at all (as a launcher with no files gives).
QString expandWord(const QString& word, const DesktopEntry& entry, const QString& entryPath,
                   bool& dropped) {
    QString result;
    bool hadCode = false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (word[i] != u'%' || i + 1 == word.size()) {
            result += word[i];
            continue;
        }
        const QChar code = word[++i];
        hadCode = true;
        switch (code.unicode()) {
            case '%':
                result += u'%';
                break;
            case 'c':
                result += entry.name.value_or(QString());
                break;
            case 'k':
                result += entryPath;
                break;
            default:  // %f %F %u %U, %i inside a word, the deprecated %d %D %n %N %v %m
                break;
        }
    }
    dropped = hadCode && result.isEmpty();
    return result;
}

}  // namespace

std::optional<QStringList> execWords(const QString& exec, QString* problem) {
    // GLib's shell-style splitting is what GIO has always launched entries with: the Desktop
    // Entry quoting rules and the single quotes that many entries use anyway.
    const QByteArray text = exec.toUtf8();
    gint count = 0;
    gchar** words = nullptr;
    GError* error = nullptr;
    if (!g_shell_parse_argv(text.constData(), &count, &words, &error)) {
        if (problem) {
            *problem = error ? QString::fromUtf8(error->message) : QString();
        }
        g_clear_error(&error);
        return std::nullopt;
    }
    QStringList result;
    result.reserve(count);
    for (gint i = 0; i < count; ++i) {
        result.append(QString::fromUtf8(words[i]));
    }
    g_strfreev(words);
    return result;
}

QStringList execCommandLine(const DesktopEntry& entry, const QString& entryPath) {
    const std::optional<QStringList> words = execWords(entry.exec);
    if (!words) {
        return {};
    }
    QStringList arguments;
    for (const QString& word : *words) {
        if (word == u"%i") {
            if (!entry.icon.isEmpty()) {
                arguments << QStringLiteral("--icon") << entry.icon;
            }
            continue;
        }
        bool dropped = false;
        QString expanded = expandWord(word, entry, entryPath, dropped);
        if (!dropped) {
            arguments.append(std::move(expanded));
        }
    }
    return arguments;
}

}  // namespace tessora
