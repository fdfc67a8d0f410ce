#pragma once

#include "workspace/LaunchOperations.h"

#include <QObject>
#include <stop_token>

namespace tessora {

class Clock;
class RibbonLayoutSession;
class WindowStackIndicator;
class WindowSystem;

// What a confirmed launch does with real windows: opening applications, placing their windows,
// marking a stacked tile, and starting and ending the Chain session. It joins the arrangement
// and the Chain layers for the workspace's launch pipeline. Without a session (where
// none was given) a Chain run says so in the log and arranges nothing.
class LaunchArranger final : public LaunchOperations {
public:
    LaunchArranger(WindowSystem& windows, Clock& clock, WindowStackIndicator* indicator,
                   RibbonLayoutSession* chainSession = nullptr);
    ~LaunchArranger() override;

    Task<QStringList> open(InstalledApps apps) override;
    Task<QStringList> arrange(WindowLayout layout, InstalledApps apps, WindowRect area, double gap,
                              bool indicators) override;
    Task<QStringList> chain(WindowLayout layout, InstalledApps apps, WindowRect area,
                            double gap) override;
    Task<void> endChain() override;
    void hideStackIndicator() override;

private:
    WindowSystem& m_windows;
    Clock& m_clock;
    WindowStackIndicator* m_indicator;  // absent where no indicator can be shown
    RibbonLayoutSession* m_chain;       // absent where no Chain session runs
    std::stop_source m_stop;            // ends waits still running when the arranger goes
};

}  // namespace tessora
