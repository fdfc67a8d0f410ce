// One keystroke in the launcher's search field until the results are repainted, with 1,000
// (and 10,000) applications, in the list and in the grid: the key event goes through the
// panel's window (key monitor, field, search, results), then the panel is painted at once.
// Besides the mean, the 95th percentile of single keystrokes is reported (p95_ms).
#include "bench/SyntheticCatalog.h"
#include "launcher/ContentView.h"
#include "launcher/LauncherState.h"
#include "launcher/PanelHost.h"
#include "launcher/PanelNotifier.h"
#include "platform/DefaultsStore.h"
#include "platform/UnavailableWindowSystem.h"
#include "platform/sim/ManualBackgroundWork.h"
#include "workspace/WorkspaceModel.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QWindow>
#include <algorithm>
#include <chrono>

namespace tessora {
namespace {

// Views need an application object; one for the whole run, on the offscreen platform.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "bench_LauncherTypingBenchmark";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        return new QApplication(argc, argv);
    }();
    (void)app;
}

class Panel final : public QWidget, public PanelHost {
public:
    Panel() : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint) { resize(544, 550); }
    bool isPanelVisible() const override { return isVisible(); }
    void dismissPanel() override { hide(); }
    ScreenRect panelFrame() const override { return m_frame; }
    std::optional<ScreenRect> panelScreenVisibleFrame() const override {
        return ScreenRect{0, 0, 1440, 875};
    }
    void setPanelFrame(const ScreenRect& frame) override {
        m_frame = frame;
        resize(qRound(frame.width), qRound(frame.height));
        if (content) {
            content->setGeometry(rect());
        }
    }
    QWidget* content = nullptr;

private:
    ScreenRect m_frame{448, 245, 544, 550};
};

struct Keystroke {
    Qt::Key key;
    QString text;
};

// Typing a word and taking it back again, over and over.
const QList<Keystroke>& keystrokes() {
    static const QList<Keystroke> keys{
        {Qt::Key_S, "s"},        {Qt::Key_T, "t"},        {Qt::Key_U, "u"},
        {Qt::Key_D, "d"},        {Qt::Key_Backspace, {}}, {Qt::Key_Backspace, {}},
        {Qt::Key_Backspace, {}}, {Qt::Key_Backspace, {}}, {Qt::Key_C, "c"},
        {Qt::Key_R, "r"},        {Qt::Key_E, "e"},        {Qt::Key_Backspace, {}},
        {Qt::Key_Backspace, {}}, {Qt::Key_Backspace, {}},
    };
    return keys;
}

void keystrokeToRepaint(benchmark::State& state) {
    ensureApplication();
    const int count = static_cast<int>(state.range(0));
    const bool grid = state.range(1) != 0;
    UnavailableWindowSystem desktop(QStringLiteral("not needed here"));
    ManualBackgroundWork background;
    const auto defaults = DefaultsStore::inMemory();
    defaults->setText(QStringLiteral("appViewMode"),
                      grid ? QStringLiteral("grid") : QStringLiteral("list"));
    WorkspaceModel model(*defaults, {desktop, background, {}, {}});
    model.setShowOnboarding(false);
    model.setApps(bench::syntheticCatalog(count));
    PanelNotifier notifier;
    Panel panel;
    auto* view = new ContentView(model, desktop, *defaults, panel, notifier, {}, &panel);
    panel.content = view;
    view->setGeometry(panel.rect());
    panel.show();
    QCoreApplication::processEvents();
    QWindow* window = panel.windowHandle();

    std::vector<double> millis;
    qsizetype next = 0;
    for (auto _ : state) {
        const Keystroke& stroke = keystrokes().at(next++ % keystrokes().size());
        const auto started = std::chrono::steady_clock::now();
        QKeyEvent press(QEvent::KeyPress, stroke.key, Qt::NoModifier, stroke.text);
        QCoreApplication::sendEvent(window, &press);
        QKeyEvent release(QEvent::KeyRelease, stroke.key, Qt::NoModifier, stroke.text);
        QCoreApplication::sendEvent(window, &release);
        panel.repaint();
        millis.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                .count());

        // What arrives between keystrokes (icons loaded meanwhile) is not the keystroke's cost.
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    std::sort(millis.begin(), millis.end());
    state.counters["p95_ms"] = millis[static_cast<size_t>(0.95 * (millis.size() - 1))];
    state.counters["results"] = static_cast<double>(model.results().size());
    state.SetLabel(grid ? "grid" : "list");
}
BENCHMARK(keystrokeToRepaint)->ArgsProduct({{1000, 10000}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessora
