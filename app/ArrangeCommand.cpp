#include "app/ArrangeCommand.h"

#include "app/LaunchArranger.h"
#include "app/TerminalText.h"
#include "app/TerminationSignals.h"
#include "app/WindowSystemConnection.h"
#include "chain/RibbonLayoutSession.h"
#include "core/QtClock.h"
#include "core/ThreadPoolWork.h"
#include "launcher/ChainPanel.h"
#include "platform/DefaultsStore.h"
#include "workspace/AppCatalog.h"
#include "workspace/WindowLayout.h"
#include "workspace/WorkspaceModel.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLoggingCategory>
#include <cstdio>
#include <memory>

namespace tessora {

namespace {

void complain(const QString& text) {
    std::fprintf(stderr, "tessora: %s\n", qPrintable(terminalSafe(text)));
}

QString layoutIds() {
    QStringList ids;
    for (const WindowLayout& layout : builtInLayouts()) {
        ids << layout.id;
    }
    return ids.join(QStringLiteral(", ")) + QStringLiteral(", none");
}

// The application an argument names: its id, or else the best result of searching for it.
std::optional<InstalledApp> resolve(WorkspaceModel& model, const QString& argument) {
    for (const InstalledApp& app : model.apps()) {
        if (app.id == argument) {
            return app;
        }
    }
    const InstalledApps results = model.rankedFor(argument);
    if (argument.trimmed().isEmpty() || results.isEmpty()) {
        return std::nullopt;
    }
    return results.first();
}

// Runs until the Chain session ends: from its panel's menu, when its windows are closed, when
// the screens change, or on SIGINT/SIGTERM. Each way puts every window back where it was. A
// signal or a change of the screens ends the run whatever state the session is in, so that a
// session that ended unnoticed can never keep the command alive.
void keepChainRunning(RibbonLayoutSession& chain, WindowSystem& windows,
                      TerminationSignals& termination) {
    QEventLoop loop;
    chain.setEndedHandler([&loop] { loop.quit(); });
    const auto endAll = [&chain, &loop] {
        chain.end();
        loop.quit();
    };
    QObject::connect(&termination, &TerminationSignals::received, &loop, endAll);
    QObject::connect(&windows, &WindowSystem::screensChanged, &loop, endAll);
    std::fprintf(stderr,
                 "tessora: Chain layout running. Hold Alt and scroll over it to move the strip; "
                 "Ctrl+C ends it and puts the windows back.\n");
    loop.exec();
    chain.setEndedHandler({});
}

}  // namespace

int arrangeApps(const QString& layoutArgument, const QStringList& appArguments) {
    QString layoutId;
    if (layoutArgument != QLatin1String("none")) {
        if (!layoutWithID(layoutArgument)) {
            complain(QStringLiteral("unknown layout \"%1\" (one of: %2)")
                         .arg(layoutArgument, layoutIds()));
            return 2;
        }
        layoutId = layoutArgument;
    }
    if (appArguments.isEmpty()) {
        complain(QStringLiteral("--arrange needs at least one application"));
        return 2;
    }

    // Made when the Chain session is kept running, and gone only after the window system: a
    // second Ctrl+C while the windows are put back on the way out must not cut that short.
    std::unique_ptr<TerminationSignals> termination;
    const auto defaults = DefaultsStore::openStandard(DefaultsStore::configHome());
    const CatalogEnvironment environment = CatalogEnvironment::fromProcess();
    QtClock clock;
    ThreadPoolWork background;
    QString unavailable;
    const auto windows = connectWindowSystem(clock, &unavailable);
    // The command ends with the run, so there is no stack indicator to keep on screen. A Chain
    // session lives on until it ends; its panel needs a graphical application.
    const bool graphical = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
    RibbonLayoutSession chain(*windows, clock,
                              graphical ? chainPanelFactory(*windows) : RibbonPanelViewFactory());
    LaunchArranger arranger(*windows, clock, nullptr, &chain);
    const QString configHome = DefaultsStore::configHome();
    WorkspaceModel model(*defaults, {*windows, background, environment,
                                     [configHome](const QString& domain) {
                                         return DefaultsStore::openSuite(configHome, domain);
                                     },
                                     &arranger});
    model.setApps(readCatalog(environment, *windows));
    // Failures are printed below; the log would say them a second time.
    QLoggingCategory::setFilterRules(QStringLiteral("tessora.*.debug=false\nLauncher=false"));

    InstalledApps selection;
    for (const QString& argument : appArguments) {
        const std::optional<InstalledApp> app = resolve(model, argument);
        if (!app) {
            complain(
                QStringLiteral("no application matches \"%1\" (see --list-apps)").arg(argument));
            return 2;
        }
        if (!selection.contains(*app)) {
            selection.append(*app);
        }
    }
    if (!windows->canControlWindows(&unavailable)) {
        complain(QStringLiteral("cannot arrange windows here: %1").arg(unavailable));
        return 1;
    }

    model.setSelected(selection);
    model.setLayoutID(layoutId);
    // A run may end before launchSelected() returns (opening without a layout need not wait
    // for anything), so what happened is recorded rather than read off `busy` afterwards.
    bool started = false;
    std::optional<QStringList> failures;
    QEventLoop loop;
    QObject::connect(&model, &WorkspaceModel::launchFinished, &loop,
                     [&](const QStringList& messages) {
                         failures = messages;
                         loop.quit();
                     });
    model.launchSelected([&started] { started = true; });
    if (!started) {
        complain(QStringLiteral("nothing to arrange on: no screen is known to the window system"));
        return 1;
    }
    if (!failures) {
        loop.exec();
    }
    for (const QString& failure : *failures) {
        complain(failure);
    }
    if (chain.isActive()) {
        termination = std::make_unique<TerminationSignals>();
        keepChainRunning(chain, *windows, *termination);
    }
    return failures->isEmpty() ? 0 : 1;
}

}  // namespace tessora
