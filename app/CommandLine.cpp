#include "app/CommandLine.h"

namespace tessora {

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine command;
    bool optionsEnded = false;
    QStringList positional;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            positional << argument;
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--list-apps")) {
            command.action = CommandLine::Action::ListApps;
        } else if (argument == QLatin1String("--unit-testing")) {
            // Start-up does nothing, whatever else was given.
            return {CommandLine::Action::UnitTesting, {}, {}};
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            return {CommandLine::Action::Help, {}, {}};
        } else if (argument == QLatin1String("--version")) {
            return {CommandLine::Action::Version, {}, {}};
        } else {
            return {CommandLine::Action::Invalid, {}, QStringLiteral("unknown option %1").arg(argument)};
        }
    }
    if (command.action == CommandLine::Action::ListApps) {
        if (positional.size() > 1) {
            return {CommandLine::Action::Invalid, {},
                    QStringLiteral("--list-apps takes one QUERY; quote a query with blanks")};
        }
        command.query = positional.value(0);
    } else if (!positional.isEmpty()) {
        return {CommandLine::Action::Invalid, {},
                QStringLiteral("unexpected argument %1").arg(positional.first())};
    }
    return command;
}

QString usageText(const QString& program) {
    return QStringLiteral(
               "Usage: %1 [OPTION]\n"
               "Opens several applications at once and arranges their windows.\n"
               "\n"
               "  --list-apps [QUERY]  print the installed applications ranked for QUERY (all of\n"
               "                       them when QUERY is absent): id, tab, name, tab, entry path\n"
               "  --unit-testing       start nothing and exit\n"
               "  --help               show this help\n"
               "  --version            show the version\n")
        .arg(program);
}

}  // namespace tessora
