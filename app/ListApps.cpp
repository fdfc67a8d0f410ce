#include "app/ListApps.h"

#include "app/WindowSystemConnection.h"
#include "core/QtClock.h"
#include "core/ThreadPoolWork.h"
#include "platform/DefaultsStore.h"
#include "workspace/AppCatalog.h"
#include "workspace/WorkspaceModel.h"

#include <QTextStream>

namespace tessora {

namespace {

// Names and paths come from files anyone can write: keep each record on one line with its
// fields apart, whatever they hold.
QString oneLine(QString text) {
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator) {
            c = QLatin1Char(' ');
        }
    }
    return text;
}

}  // namespace

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
        out << oneLine(app.id) << '\t' << oneLine(app.name) << '\t' << oneLine(app.url) << '\n';
    }
    return 0;
}

}  // namespace tessora
