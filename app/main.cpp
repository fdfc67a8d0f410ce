#include "app/ArrangeCommand.h"
#include "app/CommandLine.h"
#include "app/ListApps.h"


#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <cstdio>

using namespace tessora;

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSORA_VERSION));

    // Our components log their routine steps at debug level: quiet unless asked for with
    // QT_LOGGING_RULES (which takes precedence over these rules).
    QLoggingCategory::setFilterRules(QStringLiteral("tessora.*.debug=false"));

    const QStringList arguments = QCoreApplication::arguments();
    const QString program = QFileInfo(arguments.value(0, QStringLiteral("tessora"))).fileName();
    const CommandLine command = parseCommandLine(arguments);
    switch (command.action) {
        case CommandLine::Action::UnitTesting:
            return 0;
        case CommandLine::Action::Help:
            std::fputs(qPrintable(usageText(program)), stdout);
            return 0;
        case CommandLine::Action::Version:
            std::printf("tessora %s\n", TESSORA_VERSION);
            return 0;
        case CommandLine::Action::ListApps:
            return listApps(command.query);
        case CommandLine::Action::Arrange:
            return arrangeApps(command.layout, command.apps);
        case CommandLine::Action::Invalid:
            std::fprintf(stderr, "%s: %s\n", qPrintable(program), qPrintable(command.error));
            std::fputs(qPrintable(usageText(program)), stderr);
            return 2;
        case CommandLine::Action::Run:
            std::fprintf(stderr, "%s: the resident application is not available in this build yet\n",
                         qPrintable(program));
            std::fputs(qPrintable(usageText(program)), stderr);
            return 2;
    }
    return 2;
}
