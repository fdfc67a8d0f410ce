#include "app/ListApps.h"

#include "app/TerminalText.h"
#include "app/WindowSystemConnection.h"
#include "core/QtClock.h"
#include "core/ThreadPoolWork.h"
#include "platform/DefaultsStore.h"
#include "workspace/AppCatalog.h"
#include "workspace/WorkspaceModel.h"

#include <QTextStream>

namespace tessora {

int listApps(const QString& query) {
    // Listing changes nothing: the settings are not read or written.
    const auto defaults = DefaultsStore::inMemory();
    // With a display, running applications are listed too, and first for an empty query;
    // without one (or without a window manager) only the installed entries are.
    const CatalogEnvironment environment = CatalogEnvironment::fromProcess();
    QtClock clock;
    const auto desktop = connectWindowSystem(clock);
    ThreadPoolWork background;
    WorkspaceModel model(*defaults, {*desktop, background, environment, {}});
    // The query first: the catalog is then ranked once, for it.
    model.setQuery(query);
    model.setApps(readCatalog(environment, *desktop));

    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    for (const InstalledApp& app : model.results()) {
        out << terminalSafe(app.id) << '\t' << terminalSafe(app.name) << '\t'
            << terminalSafe(app.url) << '\n';
    }
    return 0;
}

}  // namespace tessora
