// The launcher's search: `results` over synthetic catalogs of 1,000 and 10,000 applications for
// queries of one, three and eight characters. Each iteration is one keystroke's work; besides
// the mean, the 95th percentile of single calls is reported (p95_us).
#include "bench/SyntheticCatalog.h"
#include "platform/DefaultsStore.h"
#include "platform/UnavailableWindowSystem.h"
#include "platform/sim/ManualBackgroundWork.h"
#include "workspace/WorkspaceModel.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace tessora {
namespace {

void results(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const QString query = bench::benchmarkQueries().at(state.range(1));
    UnavailableWindowSystem desktop(QStringLiteral("not needed here"));
    ManualBackgroundWork background;
    const auto defaults = DefaultsStore::inMemory();
    WorkspaceModel model(*defaults, {desktop, background, {}, {}});
    model.setApps(bench::syntheticCatalog(count));

    std::vector<double> micros;
    qsizetype found = 0;
    for (auto _ : state) {
        const auto started = std::chrono::steady_clock::now();
        const InstalledApps ranked = model.rankedFor(query);
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - started)
                .count());
        found = ranked.size();
        benchmark::DoNotOptimize(ranked);
    }
    std::sort(micros.begin(), micros.end());
    state.counters["p95_us"] = micros[static_cast<size_t>(0.95 * (micros.size() - 1))];
    state.counters["found"] = static_cast<double>(found);
    state.SetLabel(QStringLiteral("\"%1\"").arg(query).toStdString());
}
BENCHMARK(results)->ArgsProduct({{1000, 10000}, {0, 1, 2}})->Unit(benchmark::kMicrosecond);

// Building the search data when the catalog changes (once per scan that changes it).
void setApps(benchmark::State& state) {
    UnavailableWindowSystem desktop(QStringLiteral("not needed here"));
    ManualBackgroundWork background;
    const auto defaults = DefaultsStore::inMemory();
    WorkspaceModel model(*defaults, {desktop, background, {}, {}});
    const InstalledApps catalog = bench::syntheticCatalog(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        model.setApps(catalog);
    }
}
BENCHMARK(setApps)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessora
