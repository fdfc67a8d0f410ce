// The Chain strip's animation on a real X server (Xvfb) and window manager: a strip of 10
// columns scrolled one column at a time, back and forth across the whole strip. Per animation
// frame (each step of the eased scroll asks for one render): the requests the backend sent,
// the reads that waited for the server, the flushes, and the CPU time of this process, of the
// X server and of the window manager. The gesture's other work (sizing a column that comes
// into full view, raising the visible ones at the end) is in the figures too.
#include "bench/X11BenchDesktop.h"
#include "chain/RibbonLayoutSession.h"
#include "core/QtClock.h"
#include "core/TaskHandle.h"
#include "workspace/WindowLayout.h"

#include <benchmark/benchmark.h>
#include <QLoggingCategory>

namespace tessora {
namespace {

using bench::CpuSample;
using bench::X11BenchDesktop;

void ChainScroll(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    QLoggingCategory::setFilterRules(QStringLiteral("tessora.*.debug=false"));
    QtClock clock;
    X11BenchDesktop desktop;
    if (!desktop.start(count, clock)) {
        state.SkipWithError("no X session (Xvfb, the window manager and the test client)");
        return;
    }
    RibbonLayoutSession chain(*desktop.system, clock, RibbonPanelViewFactory());
    auto settled = [&] {
        return !chain.isRendering() && !chain.isAnimating() && !chain.isSettlePending();
    };
    const WindowRect area = desktop.system->screens().first().visibleFrame;
    auto starting = start(chain.start(layoutWithID(QString::fromLatin1(chainLayoutId))->regions,
                                      desktop.apps, area, 24));
    if (!X11BenchDesktop::runUntil([&] { return starting.done() && settled(); }) ||
        chain.windows().size() != count) {
        state.SkipWithError("the strip did not start");
        return;
    }

    x11::Traffic traffic;
    CpuSample cpu;
    quint64 frames = 0;
    int column = 0, step = 1;
    for (auto _ : state) {
        if (column + step < 0 || column + step >= count) {
            step = -step;
        }
        column += step;
        const x11::Traffic trafficBefore = desktop.system->traffic();
        const CpuSample cpuBefore = CpuSample::of(desktop.session);
        const quint64 revision = chain.renderRevision();
        chain.selectColumn(column);
        if (!X11BenchDesktop::runUntil([&] { return !chain.isAnimating() && settled(); })) {
            state.SkipWithError("the strip did not settle");
            return;
        }
        frames += chain.renderRevision() - revision;
        traffic += desktop.system->traffic() - trafficBefore;
        cpu += CpuSample::of(desktop.session) - cpuBefore;
    }
    chain.end();
    const double n = static_cast<double>(frames);
    state.counters["frames"] = n / static_cast<double>(state.iterations());
    state.counters["requests_per_frame"] = static_cast<double>(traffic.requests) / n;
    state.counters["round_trips_per_frame"] = static_cast<double>(traffic.roundTrips) / n;
    state.counters["flushes_per_frame"] = static_cast<double>(traffic.flushes) / n;
    state.counters["cpu_ms_per_frame"] = cpu.self / n;
    state.counters["server_ms_per_frame"] = cpu.server / n;
    state.counters["wm_ms_per_frame"] = cpu.windowManager / n;
}
BENCHMARK(ChainScroll)->Arg(10)->Iterations(30)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessora

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
