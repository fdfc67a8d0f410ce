// The stack indicator's periodic check on a real X server (Xvfb) and window manager: three
// windows stacked in one tile among 20 clients. Per check: the requests the backend sent, the
// reads that waited for the server, and the CPU time of this process and of the X server.
#include "arrange/StackIndicator.h"
#include "bench/X11BenchDesktop.h"
#include "core/QtClock.h"

#include <benchmark/benchmark.h>
#include <QLoggingCategory>
#include <cmath>

namespace tessora {
namespace {

using bench::CpuSample;
using bench::X11BenchDesktop;

void StackIndicatorCheck(benchmark::State& state) {
    const int clients = static_cast<int>(state.range(0));
    constexpr int kStacked = 3;
    QLoggingCategory::setFilterRules(QStringLiteral("tessora.*.debug=false"));
    QtClock clock;
    X11BenchDesktop desktop;
    if (!desktop.start(clients, clock)) {
        state.SkipWithError("no X session (Xvfb, the window manager and the test client)");
        return;
    }
    const WindowRect area = desktop.system->screens().first().visibleFrame;
    const WindowRect tile{area.x + area.width / 2 + 12, area.y, area.width / 2 - 12, area.height};
    QList<WindowHandle> stacked;
    for (int i = 0; i < kStacked; ++i) {
        desktop.system->setFrame(desktop.windows[i], tile);
        stacked.append({desktop.apps[i], desktop.windows[i]});
    }
    const bool placed = desktop.session.waitUntil([&] {
        for (int i = 0; i < kStacked; ++i) {
            const auto frame = desktop.system->frame(desktop.windows[i]);
            if (!frame || std::abs(frame->width - tile.width) > 6) {
                return false;
            }
        }
        return true;
    });
    WindowStackIndicator indicator(*desktop.system, clock, [] { return nullptr; });
    indicator.show(stacked, area, tile, 24);
    indicator.sync();
    if (!placed || indicator.liveWindows().size() != kStacked) {
        state.SkipWithError("the stacked windows are not in their tile");
        return;
    }

    x11::Traffic traffic;
    CpuSample cpu;
    for (auto _ : state) {
        const x11::Traffic trafficBefore = desktop.system->traffic();
        const CpuSample cpuBefore = CpuSample::of(desktop.session);
        indicator.sync();
        traffic += desktop.system->traffic() - trafficBefore;
        cpu += CpuSample::of(desktop.session) - cpuBefore;
    }
    if (indicator.liveWindows().size() != kStacked) {
        state.SkipWithError("the indicator lost its windows");
        return;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["requests_per_check"] = static_cast<double>(traffic.requests) / n;
    state.counters["round_trips_per_check"] = static_cast<double>(traffic.roundTrips) / n;
    state.counters["cpu_ms_per_check"] = cpu.self / n;
    state.counters["server_ms_per_check"] = cpu.server / n;
}
BENCHMARK(StackIndicatorCheck)->Arg(20)->Iterations(200)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tessora

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
