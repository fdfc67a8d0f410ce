// Arranging 2, 4 and 8 already-running windows on a real X server (Xvfb) with a real window
// manager (openbox). Reports, per arrangement: wall time; the fixed waits of the algorithm (two
// agreeing polls 0.3 s apart, the 0.5 s settle, 0.12 s after every verified write), which are
// its floor; what is spent above that floor (round trips to the server and the window manager,
// and our own work); and the CPU time of this process.
#include "arrange/Placement.h"
#include "core/QtClock.h"
#include "core/TaskHandle.h"
#include "platform/x11/X11WindowSystem.h"
#include "tests/support/TemporaryTree.h"
#include "tests/support/x11/XSession.h"
#include "workspace/WindowLayout.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <map>

namespace tessora {
namespace {

using namespace std::chrono_literals;

// The production clock, counting the waits it serves by their length.
class MeasuringClock final : public Clock {
public:
    TimePoint now() const override { return m_clock.now(); }
    TimerId schedule(Duration delay, std::function<void()> callback) override {
        return m_clock.schedule(delay, [this, delay, callback = std::move(callback)] {
            ++served[delay];
            callback();
        });
    }
    void cancel(TimerId id) override { m_clock.cancel(id); }

    // The fixed waits on the critical path: the window polls of all applications run at once,
    // so they count once per poll round; the settle pause and the verified writes one by one.
    double floorSeconds(int applications) const {
        const auto count = [&](Duration d) {
            const auto it = served.find(d);
            return it == served.end() ? 0 : it->second;
        };
        const int pollRounds = (count(300ms) + applications - 1) / applications;
        return 0.3 * pollRounds + 0.5 * count(500ms) + 0.12 * count(120ms);
    }

    std::map<Duration, int> served;

private:
    QtClock m_clock;
};

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// One X session for the whole run, with windows of the test client, each an application.
struct Desktop {
    testing::XSession session;
    testing::TemporaryTree tree;
    QList<x11::KnownEntry> entries;
    InstalledApps apps;
    std::vector<xcb_window_t> windows;
    MeasuringClock clock;
    std::unique_ptr<X11WindowSystem> system;

    bool start(int count) {
        QString error;
        if (!session.start(&error)) {
            return false;
        }
        for (int i = 0; i < count; ++i) {
            const QString id = QStringLiteral("bench-%1").arg(i);
            const QString windowClass = QStringLiteral("BenchClient%1").arg(i);
            const QString path = tree.write(
                QStringLiteral("applications/%1.desktop").arg(id),
                QStringLiteral("[Desktop Entry]\nType=Application\nName=Bench %1\nExec=true\n"
                               "StartupWMClass=%2\n")
                    .arg(i)
                    .arg(windowClass)
                    .toUtf8());
            entries << *x11::KnownEntry::fromFile(id, path);
            apps << InstalledApp{id, QStringLiteral("Bench %1").arg(i), path, {}};
            const auto started =
                session.startClient({"--class", windowClass, "--title", id, "--size", "300x200"});
            if (started.empty()) {
                return false;
            }
            windows.push_back(started.front());
        }
        X11Options options;
        options.display = session.display();
        options.knownEntries = [this] { return entries; };
        system = X11WindowSystem::open(clock, options);
        return system && system->canControlWindows();
    }

    // Puts every window somewhere else, so that each arrangement really moves them.
    void scatter(int round) {
        for (size_t i = 0; i < windows.size(); ++i) {
            system->setFrame(windows[i], {40.0 * i + round % 7, 30.0 * i, 320, 240});
        }
        session.waitUntil([&] {
            for (size_t i = 0; i < windows.size(); ++i) {
                const auto frame = system->frame(windows[i]);
                if (!frame || std::abs(frame->width - 320) > 6) {
                    return false;
                }
            }
            return true;
        });
    }
};

void arrangeRunningWindows(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    Desktop desktop;
    if (!desktop.start(count)) {
        state.SkipWithError("no X session (Xvfb, openbox and the test client are needed)");
        return;
    }
    const WindowLayout layout = *layoutWithID(count == 2 ? "mirror" : "quadra");
    const WindowRect area = desktop.system->screens().first().visibleFrame;
    double wall = 0, waited = 0, cpu = 0;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        desktop.scatter(round++);
        desktop.clock.served.clear();
        state.ResumeTiming();

        const double cpuBefore = cpuSeconds();
        const auto started = std::chrono::steady_clock::now();
        auto placing =
            start(placeWindows(*desktop.system, desktop.clock, layout, desktop.apps, area, 0, {}));
        QEventLoop loop;
        while (!placing.done()) {
            loop.processEvents(QEventLoop::WaitForMoreEvents);
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        state.SetIterationTime(seconds);
        wall += seconds;
        waited += desktop.clock.floorSeconds(count);
        cpu += cpuSeconds() - cpuBefore;
        if (!placing.result().messages.isEmpty()) {
            state.SkipWithError(placing.result().messages.join(' ').toStdString().c_str());
            return;
        }
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["floor_s"] = waited / n;
    state.counters["above_floor_ms"] = (wall - waited) / n * 1000;
    state.counters["cpu_ms"] = cpu / n * 1000;
}
BENCHMARK(arrangeRunningWindows)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessora

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
