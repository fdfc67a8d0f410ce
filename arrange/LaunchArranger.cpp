#include "arrange/LaunchArranger.h"

#include "arrange/Placement.h"
#include "arrange/StackIndicator.h"
#include "core/Task.h"
#include "platform/WindowSystem.h"

#include <QLoggingCategory>

namespace tessora {

namespace {
Q_LOGGING_CATEGORY(lcArrange, "tessora.arrange")
}  // namespace

QString couldNotOpenMessage(const InstalledApp& app, const QString& description) {
    return app.name + QStringLiteral(": could not open (") + description + QStringLiteral(").");
}

LaunchArranger::LaunchArranger(WindowSystem& windows, Clock& clock, WindowStackIndicator* indicator)
    : windows_(windows), clock_(clock), indicator_(indicator) {}

LaunchArranger::~LaunchArranger() { stop_.request_stop(); }

Task<QStringList> LaunchArranger::open(InstalledApps apps) {
    QStringList messages;
    // One after the other, each activated, so that they come up in selection order.
    for (const InstalledApp& app : apps) {
        const LaunchOutcome outcome = co_await windows_.openApplication(app, true);
        if (!outcome.app) {
            messages.append(couldNotOpenMessage(app, outcome.error));
        }
    }
    co_return messages;
}

Task<QStringList> LaunchArranger::arrange(WindowLayout layout, InstalledApps apps, WindowRect area,
                                          double gap, bool indicators) {
    PlacementResult result =
        co_await placeWindows(windows_, clock_, layout, apps, area, gap, stop_.get_token());
    if (indicators && indicator_ && result.stackFrame && result.stackedWindows.size() >= 2) {
        indicator_->show(result.stackedWindows, area, *result.stackFrame, gap);
    }
    co_return result.messages;
}

Task<QStringList> LaunchArranger::chain(WindowLayout, InstalledApps apps, WindowRect, ScreenRect,
                                        double) {
    qCInfo(lcArrange) << "The Chain layout is not available in this build yet;"
                      << apps.size() << "applications were left as they are";
    co_return QStringList();
}

Task<void> LaunchArranger::endChain() { co_return; }

void LaunchArranger::hideStackIndicator() {
    if (indicator_) {
        indicator_->hide();
    }
}

}  // namespace tessora
