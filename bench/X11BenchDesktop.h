#pragma once

// The X session of the benchmarks that run on a real X server: Xvfb, its window manager and
// windows of the test client, each an application of its own, with the backend connected to
// it; and the CPU time of the processes involved.
#include "core/Clock.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11WindowSystem.h"
#include "tests/support/TemporaryTree.h"
#include "tests/support/x11/XSession.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

namespace tessora::bench {

struct X11BenchDesktop {
    testing::XSession session;
    testing::TemporaryTree tree;
    QList<x11::KnownEntry> entries;
    InstalledApps apps;
    std::vector<xcb_window_t> windows;
    std::unique_ptr<X11WindowSystem> system;

    // Starts the session with `count` client windows of `size` and connects the backend, which
    // runs on `clock`. False when something is missing (Xvfb, the window manager, the client).
    bool start(int count, Clock& clock, const QString& size = QStringLiteral("300x200")) {
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
                session.startClient({"--class", windowClass, "--title", id, "--size", size});
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

    // Runs the event loop until `done` (at most a minute): false when it never was.
    static bool runUntil(const std::function<bool()>& done) {
        QTimer guard;
        guard.setSingleShot(true);
        guard.start(60'000);
        QEventLoop loop;
        while (!done() && guard.isActive()) {
            loop.processEvents(QEventLoop::WaitForMoreEvents);
        }
        return done();
    }
};

// User and system CPU time of a process so far, in milliseconds, from /proc/<pid>/stat (clock
// ticks, usually 10 ms each: measure over many frames). 0 when it cannot be read.
inline double processCpuMs(qint64 pid) {
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray stat = file.readAll();
    // The command name may hold spaces; the fields after it are plain.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) {
        return 0;
    }
    const double ticks = fields[11].toDouble() + fields[12].toDouble();  // utime, stime
    return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The CPU time of this process, the X server and the window manager.
struct CpuSample {
    double self = 0, server = 0, windowManager = 0;

    static CpuSample of(const testing::XSession& session) {
        return {processCpuMs(QCoreApplication::applicationPid()), processCpuMs(session.serverPid()),
                processCpuMs(session.windowManagerPid())};
    }
    CpuSample operator-(const CpuSample& o) const {
        return {self - o.self, server - o.server, windowManager - o.windowManager};
    }
    CpuSample& operator+=(const CpuSample& o) {
        self += o.self;
        server += o.server;
        windowManager += o.windowManager;
        return *this;
    }
};

}  // namespace tessora::bench

namespace tessora::x11 {

inline Traffic& operator+=(Traffic& a, const Traffic& b) {
    a.requests += b.requests;
    a.roundTrips += b.roundTrips;
    a.flushes += b.flushes;
    return a;
}

}  // namespace tessora::x11
