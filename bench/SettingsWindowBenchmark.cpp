// The settings window as the tray menu opens it, in the resident program's own process, on the
// display it is given (tests/support/run_on_display.sh brings up Xvfb with openbox): from "Settings…" being chosen to the window's first paint having reached the X
// server, for the first opening (the window is built) and for later ones (it is kept, hidden),
// and whether anything of the window stays scheduled once it is closed.
#include "app/AppDelegate.h"
#include "app/SettingsWindow.h"
#include "app/ShownRefresh.h"
#include "app/StatusMenu.h"
#include "core/QtClock.h"
#include "core/ThreadPoolWork.h"
#include "platform/DefaultsStore.h"
#include "app/WindowSystemConnection.h"

#include <benchmark/benchmark.h>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonObject>
#include <QTimer>
#include <QWindow>
#include <functional>

namespace tessora {
namespace {

// Runs the event loop until `done` (at most ten seconds).
bool runUntil(const std::function<bool()>& done) {
    QElapsedTimer guard;
    guard.start();
    while (!done() && guard.elapsed() < 10'000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return done();
}

// Counts the paints of the settings window (of any widget in it), watching the whole
// application: the first may come before the menu's action returns.
class PaintCount : public QObject {
public:
    PaintCount() { qApp->installEventFilter(this); }
    ~PaintCount() override { qApp->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            auto* widget = qobject_cast<QWidget*>(receiver);
            if (widget && qobject_cast<SettingsWindow*>(widget->window())) {
                ++count;
            }
        }
        return false;
    }
};

struct Resident {
    QtClock clock;
    ThreadPoolWork background;
    std::unique_ptr<DefaultsStore> defaults = DefaultsStore::inMemory(
        QJsonObject{{"onboardingVersion", 1}, {"onboardingComplete", true}});
    std::unique_ptr<WindowSystem> windows;
    std::unique_ptr<AppDelegate> app;

    bool start() {
        windows = connectWindowSystem(clock);
        if (!windows->canControlWindows()) {
            return false;
        }
        app = std::make_unique<AppDelegate>(
            AppContext{*windows, clock, background, *defaults, {}, {}, {}, {}, nullptr, {}, 0});
        app->applicationDidFinishLaunching();
        return true;
    }

    // Chooses "Settings…" and waits for the window's first paint to reach the server.
    bool openSettings(PaintCount& paints) {
        const int before = paints.count;
        app->statusMenu()->settingsItem()->trigger();
        return runUntil([&] { return paints.count > before; });
    }
};

Resident* resident() {
    static Resident* shared = [] {
        auto* r = new Resident;
        return r->start() ? r : nullptr;
    }();
    return shared;
}

void settingsToFirstPaint(benchmark::State& state) {
    Resident* r = resident();
    if (!r) {
        state.SkipWithError("no X display with a window manager (see run_on_display.sh)");
        return;
    }
    PaintCount paints;
    for (auto _ : state) {
        if (!r->openSettings(paints)) {
            state.SkipWithError("the settings window was not painted");
            return;
        }
        state.PauseTiming();
        r->app->settingsWindow()->hide();
        runUntil([&] { return !r->app->settingsWindow()->windowHandle()->isExposed(); });
        state.ResumeTiming();
    }
    // Once closed, nothing of the window is left to wake the process: no re-read scheduled,
    // no timer running.
    const auto reads = r->app->settingsWindow()->findChildren<ShownRefresh*>();
    const auto timers = r->app->settingsWindow()->findChildren<QTimer*>();
    state.counters["re-reads scheduled when closed"] = double(std::count_if(
        reads.begin(), reads.end(), [](const ShownRefresh* read) { return read->ticking(); }));
    state.counters["timers running when closed"] = double(std::count_if(
        timers.begin(), timers.end(), [](const QTimer* timer) { return timer->isActive(); }));
}
BENCHMARK(settingsToFirstPaint)->Iterations(1)->Name("settings_first_opening")->Unit(benchmark::kMillisecond);
BENCHMARK(settingsToFirstPaint)->Iterations(30)->Name("settings_opened_again")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessora

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
