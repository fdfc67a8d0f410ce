// The resident program as a user feels it, on Xvfb with openbox and a tray host (trayer):
//  - start to ready: from starting the process to its "ready" line (tray shown, hot key held);
//  - hot key to panel: from the XTEST key press to the panel's MapNotify, seen by an outside
//    client, over many rounds (p50, p95, max);
//  - idle memory: resident set size with the panel created and hidden;
//  - idle wake-ups: context switches of all its threads over a few idle seconds.
// Usage: bench_ResidentBenchmark [rounds]
#include "tests/support/x11/ResidentApp.h"
#include "tests/support/x11/XSession.h"

#include <xcb/xcb.h>
#include <xcb/xtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace tessora::testing;

namespace {

constexpr uint32_t kEscape = 0xff1b;
constexpr uint32_t kControlL = 0xffe3;

qint64 statusField(qint64 pid, const char* task, const QByteArray& field) {
    QFile file(task ? QStringLiteral("/proc/%1/task/%2/status").arg(pid).arg(QLatin1String(task))
                    : QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(field + ':')) {
            return line.mid(field.size() + 1).trimmed().split(' ').front().toLongLong();
        }
    }
    return -1;
}

qint64 contextSwitches(qint64 pid) {
    qint64 total = 0;
    for (const QString& task : QDir(QStringLiteral("/proc/%1/task").arg(pid))
                                   .entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QByteArray name = task.toLatin1();
        total += statusField(pid, name.constData(), "voluntary_ctxt_switches") +
                 statusField(pid, name.constData(), "nonvoluntary_ctxt_switches");
    }
    return total;
}

// Waits on our own connection for the panel's map (or unmap) notification.
void waitFor(xcb_connection_t* c, xcb_window_t panel, uint8_t type) {
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        const uint8_t kind = event->response_type & 0x7f;
        const bool match =
            kind == type && ((type == XCB_MAP_NOTIFY &&
                              reinterpret_cast<xcb_map_notify_event_t*>(event)->window == panel) ||
                             (type == XCB_UNMAP_NOTIFY &&
                              reinterpret_cast<xcb_unmap_notify_event_t*>(event)->window == panel));
        std::free(event);
        if (match) {
            return;
        }
    }
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 50;

    XSession session;
    QString error;
    if (!session.start(&error)) {
        std::fprintf(stderr, "no X session: %s\n", qPrintable(error));
        return 1;
    }
    QProcess* tray =
        session.run(QStringLiteral("trayer"), {QStringLiteral("--edge"), QStringLiteral("top")});
    session.waitUntil([&] { return tray->state() == QProcess::Running; });

    ResidentApp app(session, QStringLiteral(TESSORA_PROGRAM_PATH));
    QElapsedTimer started;
    started.start();
    if (!app.start(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const double startMs = static_cast<double>(started.nsecsElapsed()) / 1e6;
    const qint64 pid = app.process().processId();

    // The first showing creates what the panel shows; it is not what is measured.
    app.pressShortcut();
    if (!app.waitPanelShown()) {
        std::fprintf(stderr, "the panel did not appear\n");
        return 1;
    }
    const xcb_window_t panel = *app.panelWindow();
    app.pressShortcut();
    app.waitPanelHidden();

    xcb_connection_t* c = xcb_connect(session.display().constData(), nullptr);
    const uint32_t mask[] = {XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_change_window_attributes(c, panel, XCB_CW_EVENT_MASK, mask);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    const auto keycode = [&](uint32_t keysym) { return session.keycodeOf(keysym); };
    const uint8_t control = keycode(kControlL);
    const uint8_t escape = keycode(kEscape);
    xcb_timestamp_t lastPress = XCB_CURRENT_TIME;
    // Two presses of a key in one millisecond read as the keyboard's auto-repeat: each press
    // waits for the server's clock to move on, outside the measured time.
    auto awaitNextMillisecond = [&] { lastPress = session.waitServerTimeAfter(lastPress); };
    auto press = [&] {
        for (const auto& [type, key] :
             {std::pair{XCB_KEY_PRESS, control}, std::pair{XCB_KEY_PRESS, escape},
              std::pair{XCB_KEY_RELEASE, escape}, std::pair{XCB_KEY_RELEASE, control}}) {
            xcb_test_fake_input(c, static_cast<uint8_t>(type), key, XCB_CURRENT_TIME,
                                XCB_WINDOW_NONE, 0, 0, 0);
        }
        xcb_flush(c);
    };

    std::vector<double> latencies;
    for (int round = 0; round < rounds; ++round) {
        awaitNextMillisecond();
        QElapsedTimer timer;
        timer.start();
        press();
        waitFor(c, panel, XCB_MAP_NOTIFY);
        latencies.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        awaitNextMillisecond();
        press();
        waitFor(c, panel, XCB_UNMAP_NOTIFY);
    }

    const qint64 rssKiB = statusField(pid, nullptr, "VmRSS");
    // Proportional and private memory: shared libraries count once across the processes
    // that use them.
    qint64 pssKiB = -1;
    qint64 privateKiB = 0;
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (rollup.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : rollup.readAll().split('\n')) {
            const QList<QByteArray> words = line.simplified().split(' ');
            if (words.size() >= 2 && words[0] == "Pss:") {
                pssKiB = words[1].toLongLong();
            } else if (words.size() >= 2 && words[0].startsWith("Private_")) {
                privateKiB += words[1].toLongLong();
            }
        }
    }
    // Work the showings started (catalog refreshes, icon loads) ends first.
    QThread::sleep(2);
    const qint64 switchesBefore = contextSwitches(pid);
    constexpr int kIdleSeconds = 5;
    QThread::sleep(kIdleSeconds);
    const qint64 idleSwitches = contextSwitches(pid) - switchesBefore;

    std::printf("start to ready:          %.1f ms (goal <= 150 ms)\n", startMs);
    std::printf(
        "hot key to panel mapped: p50 %.2f ms, p95 %.2f ms, max %.2f ms over %d rounds "
        "(goal p95 <= 10 ms)\n",
        percentile(latencies, 0.5), percentile(latencies, 0.95),
        *std::max_element(latencies.begin(), latencies.end()), rounds);
    std::printf(
        "idle RSS, panel hidden:  %.1f MiB (goal <= 35 MiB); PSS %.1f MiB, private %.1f MiB\n",
        rssKiB / 1024.0, pssKiB / 1024.0, privateKiB / 1024.0);
    std::printf("idle wake-ups:           %lld context switches in %d s (goal 0)\n",
                static_cast<long long>(idleSwitches), kIdleSeconds);
    xcb_disconnect(c);
    app.quit();
    return 0;
}
