#include "app/ResidentApplication.h"

#include "app/AppDelegate.h"
#include "app/AppUpdater.h"
#include "app/DebianPackageInstaller.h"
#include "app/HiddenWindowStores.h"
#include "app/ShortcutService.h"
#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"
#include "app/UpdateConfiguration.h"
#include "app/WindowSystemConnection.h"
#include "core/FreedMemory.h"
#include "core/QtClock.h"
#include "core/ThreadPoolWork.h"
#include "launcher/ChainPanel.h"
#include "launcher/StackIndicatorPanel.h"
#include "platform/DefaultsStore.h"
#include "platform/x11/X11ResidentClaim.h"
#include "platform/x11/X11WindowSystem.h"
#include "preferences/OrreryKeycap.h"

#include <unistd.h>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QThreadPool>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tessora {

namespace {

void complain(const QString& text) {
    std::fprintf(stderr, "tessora: %s\n", qPrintable(text));
}

QString downloadFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return folder.isEmpty() ? QDir::home().filePath(QStringLiteral("Downloads")) : folder;
}

// Runs the application; `relaunchInto` is set when an installed update asked to replace it.
int runResident(int& argc, char** argv, QString& relaunchInto) {
    if (!X11WindowSystem::displayReachable()) {
        const QByteArray display = qgetenv("DISPLAY");
        complain(display.isEmpty() ? QStringLiteral("no X11 display to run on (DISPLAY is not set)")
                                   : QStringLiteral("cannot open the X11 display \"%1\"")
                                         .arg(QString::fromLocal8Bit(display)));
        return 1;
    }
    // Before any thread starts.
    configureHeapForResidentProgram();
    // Our own windows are placed and raised through X11, like everything else we do.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    // Qt scales and converts large images on threads of its global pool; idle, they would stay
    // for half a minute with their stacks.
    QThreadPool::globalInstance()->setExpiryTimeout(1000);
    // Our windows' WM_CLASS is ("tessora", "org.tessora.Tessora"): the class is the application
    // id, as the desktop entry names it, so that the catalog knows these windows for ours and
    // never lists this process as an application to launch.
    QCoreApplication::setApplicationName(QStringLiteral("org.tessora.Tessora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSORA_VERSION));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Tessora"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tessora.Tessora"));
    // A tray application: closing its last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    // Its windows are hidden most of the time: their images go until they are shown again.
    HiddenWindowStores hiddenWindowStores;
    application.installEventFilter(&hiddenWindowStores);
    QLoggingCategory::setFilterRules(QStringLiteral("tessora.*.debug=false"));

    SingleInstance instance;
    switch (instance.claim()) {
        case SingleInstance::Outcome::Forwarded:
            return 0;
        case SingleInstance::Outcome::Unanswered:
            complain(QStringLiteral("another Tessora holds %1 but does not answer (%2)")
                         .arg(QString::fromLatin1(SingleInstance::serviceName), instance.error()));
            return 1;
        case SingleInstance::Outcome::Primary:
        case SingleInstance::Outcome::NoBus:
            break;
    }
    // The bus reaches residents of this session; the display reaches any resident on it, also
    // one started without a bus or on another one.
    x11::X11ResidentClaim display;
    switch (display.claim()) {
        case x11::X11ResidentClaim::Outcome::Forwarded:
            return 0;
        case x11::X11ResidentClaim::Outcome::Failed:
            complain(
                QStringLiteral("cannot tell whether Tessora already runs on this display (%1); "
                               "running anyway")
                    .arg(display.error()));
            break;
        case x11::X11ResidentClaim::Outcome::Resident:
            break;
    }

    const QString configHome = DefaultsStore::configHome();
    const std::unique_ptr<DefaultsStore> defaults = DefaultsStore::openStandard(configHome);
    const CatalogEnvironment environment = CatalogEnvironment::fromProcess();
    QtClock clock;
    ThreadPoolWork background;
    QString unavailable;
    const std::unique_ptr<WindowSystem> windows = connectWindowSystem(clock, &unavailable);
    if (!windows->canControlWindows(&unavailable)) {
        complain(QStringLiteral("windows cannot be arranged here: %1").arg(unavailable));
    }

    // Only a build configured with a sound feed and key updates itself.
    std::unique_ptr<DebianPackageInstaller> installer;
    std::unique_ptr<AppUpdater> updater;
    if (auto configuration =
            UpdateConfiguration::fromValues(builtInUpdateFeed(), builtInUpdatePublicKey())) {
        installer =
            std::make_unique<DebianPackageInstaller>(QCoreApplication::applicationFilePath());
        updater = std::make_unique<AppUpdater>(
            *configuration, UpdaterServices{clock, *defaults, *installer,
                                            [] { return QDateTime::currentDateTimeUtc(); },
                                            [&relaunchInto](const QString& program) {
                                                relaunchInto = program;
                                                QCoreApplication::exit(0);
                                            },
                                            downloadFolder()});
    }

    AppDelegate delegate(
        AppContext{*windows, clock, background, *defaults, environment,
                   [configHome](const QString& domain) {
                       return DefaultsStore::openSuite(configHome, domain);
                   },
                   chainPanelFactory(*windows), stackIndicatorPanelFactory(*windows), updater.get(),
                   QCoreApplication::arguments(), QCoreApplication::applicationPid()});
    instance.setShowPanel([&delegate] { delegate.applicationShouldHandleReopen(); });
    display.setShowLauncher([&delegate] { delegate.applicationShouldHandleReopen(); });
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &application,
                     [] { QCoreApplication::exit(0); });
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &delegate,
                     &AppDelegate::applicationWillTerminate);

    delegate.applicationDidFinishLaunching();
    if (updater) {
        updater->start();
    }
    const ShortcutService& shortcut = delegate.shortcut();
    const auto shortcutText = [&shortcut] {
        return keycapTexts(shortcut.label()).join(QLatin1Char('+'));
    };
    // Another program may hold the combination: the launcher still opens from the tray and on
    // a second start, and another combination can be recorded in the settings.
    if (shortcut.enabled() && !shortcut.hotKeyActive() && !shortcut.error().isEmpty()) {
        complain(QStringLiteral("the shortcut %1 is not available: %2 Record another one under "
                                "Settings; meanwhile the launcher opens from the tray menu.")
                     .arg(shortcutText(), shortcut.error()));
    }
    // Said once the event loop runs, when the tray icon and the hot key are in place; scripts
    // and tests wait for this line.
    QTimer::singleShot(0, &delegate, [&shortcut, shortcutText] {
        complain(shortcut.hotKeyActive()
                     ? QStringLiteral("ready; %1 opens the launcher").arg(shortcutText())
                     : QStringLiteral("ready; the launcher opens from the tray menu"));
    });
    return application.exec();
}

}  // namespace

int runResidentApplication(int& argc, char** argv) {
    QString relaunchInto;
    const int code = runResident(argc, argv, relaunchInto);
    if (relaunchInto.isEmpty()) {
        return code;
    }
    // Every window, claim and connection of this process is gone by now: the new version
    // starts as if started anew.
    const QByteArray program = QFile::encodeName(relaunchInto);
    char* const arguments[] = {const_cast<char*>(program.constData()), nullptr};
    execv(program.constData(), arguments);
    complain(QStringLiteral("cannot start the updated Tessora (%1): %2")
                 .arg(relaunchInto, QString::fromLocal8Bit(std::strerror(errno))));
    return 1;
}

}  // namespace tessora
