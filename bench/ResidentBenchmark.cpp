// The resident program as a user feels it, on Xvfb with openbox and a tray host (trayer):
//  - start to ready: from starting the process to its "ready" line (tray shown, hot key held);
//  - hot key to panel: from the XTEST key press to the panel's MapNotify, seen by an outside
//    client, over many rounds (p50, p95, max);
//  - idle memory: resident set size with the panel created and hidden;
//  - idle wake-ups: context switches of all its threads over a few idle seconds;
//  - memory over use: RSS before and after many showings of the panel with a few letters
//    typed into it each time; what stays after the first showings is the growth that counts.
// Usage: bench_ResidentBenchmark [rounds] [cycles]; TESSORA_PROGRAM=path runs another build of
// the program (to compare with an earlier one).
#include "tests/support/x11/ResidentApp.h"
#include "tests/support/x11/XSession.h"

#include <poll.h>
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
// Showings after which the caches the typing fills are full: growth is counted from here too.
constexpr int kWarmUpCycles = 50;

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

// Waits on our own connection for the panel's map (or unmap) notification; false when none
// came within `timeoutMs`, as when the program missed the key press.
bool waitFor(xcb_connection_t* c, xcb_window_t panel, uint8_t type, int timeoutMs = 3000) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            const uint8_t kind = event->response_type & 0x7f;
            const bool match =
                kind == type &&
                ((type == XCB_MAP_NOTIFY &&
                  reinterpret_cast<xcb_map_notify_event_t*>(event)->window == panel) ||
                 (type == XCB_UNMAP_NOTIFY &&
                  reinterpret_cast<xcb_unmap_notify_event_t*>(event)->window == panel));
            std::free(event);
            if (match) {
                return true;
            }
        }
        const qint64 left = timeoutMs - waited.elapsed();
        if (left <= 0 || xcb_connection_has_error(c)) {
            return false;
        }
        pollfd descriptor{xcb_get_file_descriptor(c), POLLIN, 0};
        ::poll(&descriptor, 1, static_cast<int>(left));
    }
}

bool panelMapped(xcb_connection_t* c, xcb_window_t panel) {
    xcb_get_window_attributes_reply_t* reply =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, panel), nullptr);
    const bool mapped = reply && reply->map_state != XCB_MAP_STATE_UNMAPPED;
    std::free(reply);
    return mapped;
}

struct Memory {
    qint64 rssKiB = -1;
    qint64 pssKiB = -1;
    qint64 privateKiB = 0;
};

Memory memoryOf(qint64 pid) {
    Memory memory;
    memory.rssKiB = statusField(pid, nullptr, "VmRSS");
    // Proportional and private memory: shared libraries count once across the processes
    // that use them.
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (rollup.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : rollup.readAll().split('\n')) {
            const QList<QByteArray> words = line.simplified().split(' ');
            if (words.size() >= 2 && words[0] == "Pss:") {
                memory.pssKiB = words[1].toLongLong();
            } else if (words.size() >= 2 && words[0].startsWith("Private_")) {
                memory.privateKiB += words[1].toLongLong();
            }
        }
    }
    return memory;
}

double mib(qint64 kib) {
    return static_cast<double>(kib) / 1024.0;
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
    const int cycles = argc > 2 ? std::max(kWarmUpCycles + 1, std::atoi(argv[2])) : 500;

    XSession session;
    QString error;
    if (!session.start(&error)) {
        std::fprintf(stderr, "no X session: %s\n", qPrintable(error));
        return 1;
    }
    QProcess* tray =
        session.run(QStringLiteral("trayer"), {QStringLiteral("--edge"), QStringLiteral("top")});
    session.waitUntil([&] { return tray->state() == QProcess::Running; });

    ResidentApp app(session,
                    qEnvironmentVariable("TESSORA_PROGRAM", QStringLiteral(TESSORA_PROGRAM_PATH)));
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
    auto send = [&](std::initializer_list<std::pair<int, uint8_t>> keys) {
        for (const auto& [type, key] : keys) {
            xcb_test_fake_input(c, static_cast<uint8_t>(type), key, XCB_CURRENT_TIME,
                                XCB_WINDOW_NONE, 0, 0, 0);
        }
        xcb_flush(c);
    };
    auto press = [&] {
        send({{XCB_KEY_PRESS, control},
              {XCB_KEY_PRESS, escape},
              {XCB_KEY_RELEASE, escape},
              {XCB_KEY_RELEASE, control}});
    };
    // A press the program missed is pressed again (and counted), so that one lost key does not
    // end the run; a round with a second press is not timed.
    int missedPresses = 0;
    auto toggle = [&](bool show, double* latencyMs) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            awaitNextMillisecond();
            QElapsedTimer timer;
            timer.start();
            press();
            if (waitFor(c, panel, show ? XCB_MAP_NOTIFY : XCB_UNMAP_NOTIFY)) {
                if (latencyMs && attempt == 0) {
                    *latencyMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
                }
                return true;
            }
            ++missedPresses;
            if (panelMapped(c, panel) == show) {
                return true;
            }
        }
        return false;
    };

    std::vector<double> latencies;
    for (int round = 0; round < rounds; ++round) {
        double latency = -1;
        if (!toggle(true, &latency) || !toggle(false, nullptr)) {
            std::fprintf(stderr, "the panel no longer follows the hot key\n");
            return 1;
        }
        if (latency >= 0) {
            latencies.push_back(latency);
        }
    }

    // Work the showings started (catalog refreshes, icon loads, letting go of what a hidden
    // panel does not need) ends first.
    QThread::sleep(2);
    const Memory idle = memoryOf(pid);
    const qint64 switchesBefore = contextSwitches(pid);
    constexpr int kIdleSeconds = 5;
    QThread::sleep(kIdleSeconds);
    const qint64 idleSwitches = contextSwitches(pid) - switchesBefore;

    // Showings with typing: a few letters of a name, a different one each time, so that the
    // results, their icons and the glyphs drawn change from one showing to the next.
    const std::vector<QByteArray> words{"xte", "vim", "pyt", "ope", "dis", "wor", "qzj", "set"};
    auto typeWord = [&](const QByteArray& word) {
        for (const char letter : word) {
            awaitNextMillisecond();
            const uint8_t key = keycode(static_cast<uint32_t>(letter));
            send({{XCB_KEY_PRESS, key}, {XCB_KEY_RELEASE, key}});
        }
    };
    const Memory beforeCycles = memoryOf(pid);
    Memory warmedUp;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        if (!toggle(true, nullptr)) {
            std::fprintf(stderr, "the panel no longer follows the hot key\n");
            return 1;
        }
        typeWord(words[static_cast<size_t>(cycle) % words.size()]);
        if (!toggle(false, nullptr)) {
            std::fprintf(stderr, "the panel no longer hides with the hot key\n");
            return 1;
        }
        if (cycle + 1 == kWarmUpCycles) {
            QThread::sleep(2);
            warmedUp = memoryOf(pid);
        }
    }
    QThread::sleep(2);
    const Memory afterCycles = memoryOf(pid);

    std::printf("start to ready:          %.1f ms (goal <= 150 ms)\n", startMs);
    std::printf(
        "hot key to panel mapped: p50 %.2f ms, p95 %.2f ms, max %.2f ms over %zu rounds "
        "(goal p95 <= 10 ms)\n",
        percentile(latencies, 0.5), percentile(latencies, 0.95),
        *std::max_element(latencies.begin(), latencies.end()), latencies.size());
    std::printf(
        "idle RSS, panel hidden:  %.1f MiB (goal <= 35 MiB); PSS %.1f MiB, private %.1f MiB\n",
        mib(idle.rssKiB), mib(idle.pssKiB), mib(idle.privateKiB));
    std::printf("idle wake-ups:           %lld context switches in %d s (goal 0)\n",
                static_cast<long long>(idleSwitches), kIdleSeconds);
    std::printf(
        "RSS over %d showings with typing: %.1f MiB before, %.1f MiB after %d, %.1f MiB "
        "after all\n",
        cycles, mib(beforeCycles.rssKiB), mib(warmedUp.rssKiB), kWarmUpCycles,
        mib(afterCycles.rssKiB));
    std::printf(
        "RSS growth:              %+.2f MiB in all, %+.2f MiB after the first %d (goal <= 1 "
        "MiB); private %.1f -> %.1f MiB\n",
        mib(afterCycles.rssKiB - beforeCycles.rssKiB), mib(afterCycles.rssKiB - warmedUp.rssKiB),
        kWarmUpCycles, mib(beforeCycles.privateKiB), mib(afterCycles.privateKiB));
    std::printf("hot key presses missed:  %d (pressed again)\n", missedPresses);
    xcb_disconnect(c);
    app.quit();
    return 0;
}
