// The Chain strip's render pass on the simulated desktop: CPU per pass for 4, 10 and 30
// columns, and what each pass asks of the window system. A settled strip moves its windows
// with position writes only; a full frame goes out only for a column that needs its size.
//
//   RenderPass     one pass at a scroll position in the middle of the strip
//   ScrollGesture  a whole snap to the next column (or back): the eased animation's passes and
//                  the sizing of the columns that became visible, on virtual time
#include "chain/RibbonLayoutSession.h"
#include "core/TaskHandle.h"
#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/VirtualClock.h"
#include "workspace/WindowLayout.h"

#include <benchmark/benchmark.h>
#include <QLoggingCategory>

#include <chrono>

namespace tessora {
namespace {

// A settled strip of `count` windows in a 1440 × 900 area with a 24-point gap.
struct SimStrip {
    VirtualClock clock;  // first: outlives the sim and every task
    SimWindowSystem sim{clock};
    RibbonLayoutSession session{sim, clock, RibbonPanelViewFactory()};
    QList<WindowId> windows;

    bool start(int count) {
        // A strip without a panel says so at debug level on every start.
        QLoggingCategory::setFilterRules(QStringLiteral("tessora.*.debug=false"));
        InstalledApps apps;
        for (int i = 0; i < count; ++i) {
            SimApp& app = sim.addApp(QStringLiteral("org.example.App%1").arg(i),
                                     QStringLiteral("App %1").arg(i));
            windows << sim.addWindow(app, {100.0 + 10 * i, 80.0 + 5 * i, 800, 600});
            apps << app.installedApp();
        }
        const WindowRect area{0, 0, 1440, 900};
        auto starting =
            tessora::start(session.start(layoutWithID(QString::fromLatin1(chainLayoutId))->regions,
                                         apps, area, 24));
        return clock.runUntil([&] { return starting.done(); }, std::chrono::minutes(1)) &&
               session.isActive() && settle();
    }

    bool settle() {
        return clock.runUntil(
            [&] {
                return !session.isRendering() && !session.isAnimating() &&
                       !session.isSettlePending();
            },
            std::chrono::minutes(1));
    }

    int positionWrites() {
        int sum = 0;
        for (const WindowId id : windows) {
            sum += sim.window(id).positionWrites;
        }
        return sum;
    }
    int frameWrites() {
        int sum = 0;
        for (const WindowId id : windows) {
            sum += sim.window(id).frameWrites;
        }
        return sum;
    }
};

void reportPerUnit(benchmark::State& state, SimStrip& strip, int positionsBefore, int framesBefore,
                   double units) {
    state.counters["position_writes"] = (strip.positionWrites() - positionsBefore) / units;
    state.counters["frame_writes"] = (strip.frameWrites() - framesBefore) / units;
}

void RenderPass(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    SimStrip strip;
    if (!strip.start(count)) {
        state.SkipWithError("the strip did not settle");
        return;
    }
    strip.session.selectColumn(count / 2);
    if (!strip.settle()) {
        state.SkipWithError("the strip did not settle after scrolling");
        return;
    }
    const int positions = strip.positionWrites();
    const int frames = strip.frameWrites();
    for (auto _ : state) {
        // Nothing is waited for in a pass of moves only: it runs to its end right here.
        strip.session.requestRender(false, false);
    }
    if (strip.session.isRendering()) {
        state.SkipWithError("a pass waited: it was not a pass of moves only");
        return;
    }
    reportPerUnit(state, strip, positions, frames, static_cast<double>(state.iterations()));
}
BENCHMARK(RenderPass)->Arg(4)->Arg(10)->Arg(30)->Unit(benchmark::kMicrosecond);

void ScrollGesture(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    SimStrip strip;
    if (!strip.start(count)) {
        state.SkipWithError("the strip did not settle");
        return;
    }
    const int positions = strip.positionWrites();
    const int frames = strip.frameWrites();
    int column = 0;
    for (auto _ : state) {
        column = column == 0 ? 1 : 0;
        strip.session.selectColumn(column);
        if (!strip.settle()) {
            state.SkipWithError("the strip did not settle after scrolling");
            return;
        }
    }
    // Per gesture: the animation's passes, and the sizing once the strip stands still.
    reportPerUnit(state, strip, positions, frames, static_cast<double>(state.iterations()));
}
BENCHMARK(ScrollGesture)->Arg(4)->Arg(10)->Arg(30)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tessora
