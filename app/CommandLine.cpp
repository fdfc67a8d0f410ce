#include "app/CommandLine.h"

namespace tessora {

namespace {

CommandLine invalid(const QString& error) {
    CommandLine command;
    command.action = CommandLine::Action::Invalid;
    command.error = error;
    return command;
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine command;
    bool optionsEnded = false;
    QStringList positional;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) ||
            argument == QLatin1String("-")) {
            positional << argument;
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--list-apps")) {
            command.action = CommandLine::Action::ListApps;
        } else if (argument == QLatin1String("--arrange")) {
            command.action = CommandLine::Action::Arrange;
        } else if (argument == QLatin1String("--check-for-updates")) {
            command.action = CommandLine::Action::CheckForUpdates;
        } else if (QString* value = argument == QLatin1String("--feed")         ? &command.feed
                                    : argument == QLatin1String("--public-key") ? &command.publicKey
                                    : argument == QLatin1String("--ca-file")    ? &command.caFile
                                                                                : nullptr) {
            if (i + 1 >= arguments.size()) {
                return invalid(QStringLiteral("%1 needs a value").arg(argument));
            }
            *value = arguments[++i];
        } else if (argument == QLatin1String("--unit-testing")) {
            // Start-up does nothing, whatever else was given.
            return {CommandLine::Action::UnitTesting, {}, {}, {}, {}, {}, {}, {}};
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            return {CommandLine::Action::Help, {}, {}, {}, {}, {}, {}, {}};
        } else if (argument == QLatin1String("--version")) {
            return {CommandLine::Action::Version, {}, {}, {}, {}, {}, {}, {}};
        } else {
            return invalid(QStringLiteral("unknown option %1").arg(argument));
        }
    }
    if (command.action == CommandLine::Action::ListApps) {
        if (positional.size() > 1) {
            return invalid(
                QStringLiteral("--list-apps takes one QUERY; quote a query with blanks"));
        }
        command.query = positional.value(0);
    } else if (command.action == CommandLine::Action::Arrange) {
        if (positional.size() < 2) {
            return invalid(QStringLiteral("--arrange takes a LAYOUT and at least one APP"));
        }
        command.layout = positional.takeFirst();
        command.apps = positional;
    } else if (!positional.isEmpty()) {
        return invalid(QStringLiteral("unexpected argument %1").arg(positional.first()));
    }
    if (command.action != CommandLine::Action::CheckForUpdates &&
        !(command.feed.isEmpty() && command.publicKey.isEmpty() && command.caFile.isEmpty())) {
        return invalid(QStringLiteral("--feed, --public-key and --ca-file go with --check-for-updates"));
    }
    return command;
}

QString usageText(const QString& program) {
    return QStringLiteral(
               "Usage: %1 [OPTION]\n"
               "Opens several applications at once and arranges their windows.\n"
               "Without an option it runs in the tray; Ctrl+Escape opens its launcher.\n"
               "\n"
               "  --list-apps [QUERY]  print the installed applications ranked for QUERY (all of\n"
               "                       them when QUERY is absent): id, tab, name, tab, entry path\n"
               "  --arrange LAYOUT APP...\n"
               "                       open (or find) the applications and arrange their windows\n"
               "                       in LAYOUT: focus, monarch, mirror, dominant, triad,\n"
               "                       triad-right, quadra, ribbon, or none to only open them.\n"
               "                       APP is an application id or a search text (best match)\n"
               "  --check-for-updates [--feed URL --public-key KEY] [--ca-file FILE]\n"
               "                       print the newest version offered by the update feed (by\n"
               "                       default the one this build was made with; URL must be\n"
               "                       https, KEY the Base64 Ed25519 key of its signatures),\n"
               "                       or that this version is up to date. FILE adds PEM\n"
               "                       certificate authorities to trust for the feed\n"
               "  --unit-testing       start nothing and exit\n"
               "  --help               show this help\n"
               "  --version            show the version\n")
        .arg(program);
}

}  // namespace tessora
