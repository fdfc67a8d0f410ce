#include "app/ArrangeCommand.h"
#include "app/CommandLine.h"
#include "app/ListApps.h"
#include "app/ResidentApplication.h"
#include "app/UpdateCheckCommand.h"
#include "platform/x11/X11WindowSystem.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <cstdio>

using namespace tessora;

namespace {

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

// Arranging on a reachable display gets a graphical application (for the Chain layout's
// panel); everything else runs without one, so that it works on machines without a display.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv,
                                                  const CommandLine& command) {
    if (command.action == CommandLine::Action::Arrange && X11WindowSystem::displayReachable()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        return std::make_unique<QApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
    const CommandLine command = parseCommandLine(argumentsOf(argc, argv));
    if (command.action == CommandLine::Action::Run) {
        return runResidentApplication(argc, argv);
    }
    const std::unique_ptr<QCoreApplication> application = makeApplication(argc, argv, command);
    QCoreApplication::setApplicationName(QStringLiteral("tessora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSORA_VERSION));

    // Our components log their routine steps at debug level: quiet unless asked for with
    // QT_LOGGING_RULES (which takes precedence over these rules).
    QLoggingCategory::setFilterRules(QStringLiteral("tessora.*.debug=false"));

    const QString program =
        QFileInfo(QCoreApplication::arguments().value(0, QStringLiteral("tessora"))).fileName();
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
        case CommandLine::Action::CheckForUpdates:
            return checkForUpdatesCommand(command.feed, command.publicKey, command.caFile);
        case CommandLine::Action::Invalid:
            std::fprintf(stderr, "%s: %s\n", qPrintable(program), qPrintable(command.error));
            std::fputs(qPrintable(usageText(program)), stderr);
            return 2;
        case CommandLine::Action::Run:
            break;  // handled above
    }
    return 2;
}
