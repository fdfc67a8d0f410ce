#include "core/TaskHandle.h"
#include "tests/support/TemporaryTree.h"
#include "tests/x11/X11TestSession.h"

namespace tessora::testing {
namespace {

class X11Applications : public X11Test {
protected:
    // A desktop entry in a folder of the test's own.
    x11::KnownEntry writeEntry(const QString& id, const QString& exec,
                               const QString& startupWmClass = {}) {
        QByteArray text = "[Desktop Entry]\nType=Application\nName=" + id.toUtf8() +
                          "\nExec=" + exec.toUtf8() + "\n";
        if (!startupWmClass.isEmpty()) {
            text += "StartupWMClass=" + startupWmClass.toUtf8() + "\n";
        }
        const QString path = tree.write(QStringLiteral("applications/%1.desktop").arg(id), text);
        return *x11::KnownEntry::fromFile(id, path);
    }

    TemporaryTree tree;
};

TEST_F(X11Applications, XtermMatchesItsEntryByWindowClass) {
    for (const QString& id : {QStringLiteral("debian-uxterm"), QStringLiteral("debian-xterm")}) {
        const QString path = QStringLiteral("/usr/share/applications/%1.desktop").arg(id);
        if (const auto entry = x11::KnownEntry::fromFile(id, path)) {
            entries << *entry;
        }
    }
    if (entries.size() != 2) {
        GTEST_SKIP() << "xterm's desktop entries are not installed";
    }
    system->refreshApplications();
    session.run(QStringLiteral("xterm"), {QStringLiteral("-geometry"), QStringLiteral("80x24")});

    std::optional<RunningApplication> xterm;
    ASSERT_TRUE(session.waitUntil([&] {
        xterm = system->runningApplication(QStringLiteral("debian-xterm"));
        return xterm.has_value();
    }));
    EXPECT_TRUE(xterm->matchesEntry());
    EXPECT_GT(xterm->pid, 0);
    EXPECT_TRUE(xterm->launchTime.has_value());
    EXPECT_TRUE(xterm->regular);
    EXPECT_EQ(system->windows(*xterm)->size(), 1);
    EXPECT_FALSE(system->runningApplication(QStringLiteral("debian-uxterm")));
}

TEST_F(X11Applications, WindowsOfOneApplicationAndOfNone) {
    entries << writeEntry(QStringLiteral("org.example.Probe"), QStringLiteral("probe-bin"),
                          QStringLiteral("probe"));
    entries << writeEntry(QStringLiteral("viewer"), QStringLiteral("viewer-not-installed %U"));
    entries << writeEntry(
        QStringLiteral("runner"),
        QStringLiteral("env LANG=C \"%1\" --class Anything").arg(XSession::testClientPath()));
    system->refreshApplications();

    const std::vector<xcb_window_t> three =
        session.startClient({"--class", "Probe", "--windows", "3"});
    ASSERT_EQ(three.size(), 3u);
    const xcb_window_t viewer = startClient({"--class", "Viewer"});
    const xcb_window_t anonymous = startClient({"--class", "Anonymous"});
    session.run(QStringLiteral("xclock"), {});
    for (const xcb_window_t w : {three[0], three[1], three[2], viewer, anonymous}) {
        ASSERT_TRUE(waitManaged(w));
    }

    // StartupWMClass, case-insensitive.
    const std::optional<RunningApplication> probe =
        system->runningApplication(QStringLiteral("org.example.Probe"));
    ASSERT_TRUE(probe);
    const std::optional<QList<WindowId>> windows = system->windows(*probe);
    ASSERT_TRUE(windows);
    EXPECT_EQ(*windows, (QList<WindowId>{three[0], three[1], three[2]}));
    EXPECT_TRUE(windows->contains(*system->mainWindow(*probe)));

    // WM_CLASS against the desktop file ID.
    const std::optional<RunningApplication> matchedById =
        system->runningApplication(QStringLiteral("viewer"));
    ASSERT_TRUE(matchedById);
    EXPECT_EQ(system->windows(*matchedById), QList<WindowId>{viewer});

    // The executable against Exec.
    const std::optional<RunningApplication> runner =
        system->runningApplication(QStringLiteral("runner"));
    ASSERT_TRUE(runner);
    EXPECT_EQ(system->windows(*runner), QList<WindowId>{anonymous});

    // No entry: an application of its own, at its executable. xclock may map its window before
    // it sets _NET_WM_PID, and the executable is only known once the pid is.
    std::optional<RunningApplication> own;
    ASSERT_TRUE(session.waitUntil([&] {
        own = system->runningApplication(QStringLiteral("XClock"));
        return own.has_value() && own->pid != 0;
    }));
    EXPECT_FALSE(own->matchesEntry());
    EXPECT_EQ(own->location, QStringLiteral("/usr/bin/xclock"));
    EXPECT_FALSE(system->isTerminated(*own));
}

TEST_F(X11Applications, OpenApplicationLaunchesTheEntry) {
    // An entry with the same Exec comes first, so that only the launch's own record tells them
    // apart.
    entries << writeEntry(QStringLiteral("decoy"), XSession::testClientPath());
    const x11::KnownEntry entry =
        writeEntry(QStringLiteral("org.example.Launched"),
                   XSession::testClientPath() + QStringLiteral(" --class LaunchedClient"));
    entries << entry;
    system->refreshApplications();
    const InstalledApp app{entry.id, entry.name, entry.path, std::nullopt};

    auto launch = start(system->openApplication(app, true));
    ASSERT_TRUE(launch.done());
    const LaunchOutcome& outcome = launch.result();
    ASSERT_TRUE(outcome.app) << outcome.error.toStdString();
    EXPECT_GT(outcome.app->pid, 0);

    // Matched through the environment GIO gives the process, not by its class.
    std::optional<QList<WindowId>> windows;
    EXPECT_TRUE(session.waitUntil([&] {
        windows = system->windows(*outcome.app);
        return windows && !windows->isEmpty();
    }));
    EXPECT_FALSE(system->isTerminated(*outcome.app));

    // Running with a window: opening it again activates it, no second process.
    auto again = start(system->openApplication(app, true));
    ASSERT_TRUE(again.done());
    ASSERT_TRUE(again.result().app);
    EXPECT_EQ(again.result().app->pid, outcome.app->pid);
    EXPECT_EQ(system->windows(*outcome.app)->size(), 1);
}

// A launch whose window has not appeared yet runs: asking to open the application again
// answers that launch, and launches nothing.
TEST_F(X11Applications, ALaunchStillStartingUpIsNotLaunchedAgain) {
    const x11::KnownEntry entry = writeEntry(
        QStringLiteral("org.example.Slow"),
        XSession::testClientPath() + QStringLiteral(" --class SlowClient --delay-window 2"));
    entries << entry;
    system->refreshApplications();
    const InstalledApp app{entry.id, entry.name, entry.path, std::nullopt};

    auto first = start(system->openApplication(app, false));
    ASSERT_TRUE(first.done());
    ASSERT_TRUE(first.result().app) << first.result().error.toStdString();
    const RunningApplication launched = *first.result().app;
    const std::optional<RunningApplication> starting = system->runningApplication(app.id);
    ASSERT_TRUE(starting);
    EXPECT_EQ(starting->pid, launched.pid);
    EXPECT_TRUE(system->windows(*starting).value_or(QList<WindowId>{}).isEmpty());

    auto again = start(system->openApplication(app, false));
    ASSERT_TRUE(again.done());
    ASSERT_TRUE(again.result().app);
    EXPECT_EQ(again.result().app->pid, launched.pid);

    // Once shown, it is the running application of that window.
    std::optional<QList<WindowId>> windows;
    ASSERT_TRUE(session.waitUntil([&] {
        windows = system->windows(launched);
        return windows && !windows->isEmpty();
    }));
    EXPECT_EQ(windows->size(), 1);
    EXPECT_EQ(system->runningApplication(app.id)->pid, launched.pid);
}

TEST_F(X11Applications, ALaunchCountsAsRunningThroughItsStartupWindow) {
    // An entry whose process ends at once without a window, as a single-instance application
    // that hands over to its running instance does.
    const x11::KnownEntry entry = writeEntry(QStringLiteral("handover"), QStringLiteral("true"));
    const InstalledApp app{entry.id, entry.name, entry.path, std::nullopt};
    auto launch = start(system->openApplication(app, false));
    ASSERT_TRUE(launch.done());
    ASSERT_TRUE(launch.result().app);
    const RunningApplication started = *launch.result().app;

    EXPECT_FALSE(system->isTerminated(started));
    clock.advance(std::chrono::seconds(16));
    EXPECT_TRUE(session.waitUntil([&] { return system->isTerminated(started); }));

    const InstalledApp missing{QStringLiteral("gone"), QStringLiteral("Gone"),
                               tree.path(QStringLiteral("applications/gone.desktop")),
                               std::nullopt};
    auto failed = start(system->openApplication(missing, true));
    ASSERT_TRUE(failed.done());
    EXPECT_FALSE(failed.result().app);
    EXPECT_FALSE(failed.result().error.isEmpty());
}

}  // namespace
}  // namespace tessora::testing
