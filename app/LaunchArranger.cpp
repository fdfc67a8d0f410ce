#include "app/LaunchArranger.h"

#include "arrange/Placement.h"
#include "arrange/StackIndicator.h"
#include "chain/RibbonLayoutSession.h"
#include "core/Task.h"
#include "platform/WindowSystem.h"

#include <QLoggingCategory>

namespace tessora {

namespace {
Q_LOGGING_CATEGORY(lcArrange, "tessora.arrange")
}  // namespace

LaunchArranger::LaunchArranger(WindowSystem& windows, Clock& clock, WindowStackIndicator* indicator,
                               RibbonLayoutSession* chainSession)
    : m_windows(windows), m_clock(clock), m_indicator(indicator), m_chain(chainSession) {}

LaunchArranger::~LaunchArranger() {
    m_stop.request_stop();
}

Task<QStringList> LaunchArranger::open(InstalledApps apps) {
    QStringList messages;
    // One after the other, each activated, so that they come up in selection order.
    for (const InstalledApp& app : apps) {
        const LaunchOutcome outcome = co_await m_windows.openApplication(app, true);
        if (!outcome.app) {
            messages.append(couldNotOpenMessage(app, outcome.error));
        }
    }
    co_return messages;
}

Task<QStringList> LaunchArranger::arrange(WindowLayout layout, InstalledApps apps, WindowRect area,
                                          double gap, bool indicators) {
    PlacementResult result =
        co_await placeWindows(m_windows, m_clock, layout, apps, area, gap, m_stop.get_token());
    if (indicators && m_indicator && result.stackFrame && result.stackedWindows.size() >= 2) {
        m_indicator->show(result.stackedWindows, area, *result.stackFrame, gap);
    }
    co_return result.messages;
}

Task<QStringList> LaunchArranger::chain(WindowLayout layout, InstalledApps apps, WindowRect area,
                                        double gap) {
    if (!m_chain) {
        qCInfo(lcArrange) << "The Chain layout is not available here;" << apps.size()
                          << "applications were left as they are";
        co_return QStringList();
    }
    // Problems of a Chain run are not reported: an application without windows simply has no
    // column.
    co_await m_chain->start(layout.regions, apps, area, gap);
    co_return QStringList();
}

Task<void> LaunchArranger::endChain() {
    if (m_chain) {
        m_chain->end();
    }
    co_return;
}

void LaunchArranger::hideStackIndicator() {
    if (m_indicator) {
        m_indicator->hide();
    }
}

}  // namespace tessora
