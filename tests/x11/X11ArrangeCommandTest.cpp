// `tessora --arrange` run as a user runs it, against the test's display: the applications it
// opens, and how it ends.
#include "tests/support/FileOpens.h"
#include "tests/x11/X11TestSession.h"

#include <gmock/gmock.h>
#include <QProcess>

namespace tessora::testing {
namespace {

class X11ArrangeCommand : public X11Test {
protected:
    void SetUp() override {
        X11Test::SetUp();
        // An application of the test client, opened through its desktop entry.
        const QString path =
            entryFolder.write("applications/probe.desktop",
                              QStringLiteral("[Desktop Entry]\nType=Application\nName=Probe\n"
                                             "Exec=%1 --class Probe\nStartupWMClass=Probe\n")
                                  .arg(XSession::testClientPath())
                                  .toUtf8());
        entries << *x11::KnownEntry::fromFile("probe", path);
        system->refreshApplications();
    }

    // Runs the program through `sh -c script`, with "$0" the program; false when it did not end
    // within half a minute (it is then killed).
    bool run(const QString& script) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", QString::fromLatin1(session.display()));
        environment.insert("XDG_DATA_DIRS", entryFolder.root());
        environment.insert("XDG_DATA_HOME", entryFolder.path("home"));
        environment.insert("XDG_CONFIG_HOME", entryFolder.path("config"));
        environment.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
        environment.remove("WAYLAND_DISPLAY");
        environment.insert("XDG_SESSION_TYPE", "x11");
        program.setProcessEnvironment(environment);
        program.start("sh", {"-c", script, QStringLiteral(TESSORA_PROGRAM_PATH)});
        if (program.waitForFinished(30000)) {
            return true;
        }
        program.kill();
        program.waitForFinished();
        return false;
    }

    bool probeRuns() {
        return session.waitUntil([&] {
            const std::optional<RunningApplication> probe = system->runningApplication("probe");
            return probe && system->windows(*probe) && !system->windows(*probe)->isEmpty();
        });
    }

    QProcess program;
};

TEST_F(X11ArrangeCommand, NoneOnlyOpensTheApplications) {
    ASSERT_TRUE(run("\"$0\" --arrange none probe"));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    EXPECT_TRUE(probeRuns());
}

// The opened application does not hold the command's output: a pipe reading it ends with the
// command, while the application runs on.
TEST_F(X11ArrangeCommand, ThroughAPipeItEndsWhileTheApplicationRunsOn) {
    ASSERT_TRUE(run("{ \"$0\" --arrange monarch probe 2>&1; echo \"exit $?\"; } | cat"))
        << "the pipe stayed open: " << program.readAllStandardOutput().toStdString();
    const QByteArray output = program.readAllStandardOutput();
    EXPECT_TRUE(output.endsWith("exit 0\n")) << output.toStdString();
    EXPECT_TRUE(probeRuns());
}

// A window that moves itself back is a problem the command reports, and fails for; one that
// rounds its size to its increments (as terminals do) is placed as well as it can be.
TEST_F(X11ArrangeCommand, AWindowThatMovesItselfBackFailsTheCommand) {
    const auto entry = [&](const QString& id, const QString& name, const QString& options) {
        entryFolder.write(QStringLiteral("applications/%1.desktop").arg(id),
                          QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\n"
                                         "Exec=%2 --class %1 %3\nStartupWMClass=%1\n")
                              .arg(name, XSession::testClientPath(), options)
                              .toUtf8());
    };
    entry("grid", "Grid", "--increments 9x17");
    entry("stubborn", "Stubborn", "--stays-put");

    ASSERT_TRUE(run("\"$0\" --arrange mirror grid stubborn"));
    EXPECT_EQ(program.exitCode(), 1);
    const QByteArray said = program.readAllStandardError();
    EXPECT_TRUE(said.contains("tessora: Stubborn: window could not be placed.\n"))
        << said.toStdString();
    EXPECT_FALSE(said.contains("Grid")) << said.toStdString();
}

// Links that loop (two links to "." in one folder) or lead to / stall neither the catalog nor
// the launch.
TEST_F(X11ArrangeCommand, LinksThatLoopOrLeadToTheRootStallNothing) {
    entryFolder.link("applications/again", ".");
    entryFolder.link("applications/once-more", ".");
    entryFolder.link("applications/root", "/");
    ASSERT_TRUE(run("\"$0\" --arrange none probe")) << "the command did not end";
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    EXPECT_TRUE(probeRuns());
}

// With a display the entries serve the listing and the matching of windows alike: each file is
// read once.
TEST_F(X11ArrangeCommand, ListingReadsEachEntryOnce) {
    entryFolder.write("applications/other.desktop",
                      "[Desktop Entry]\nType=Application\nName=Other\nExec=true\n");
    FileOpens opens(entryFolder.path("applications"));
    ASSERT_TRUE(opens.watching());
    ASSERT_TRUE(run("\"$0\" --list-apps"));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(opens.take(), (QHash<QString, int>{{"probe.desktop", 1}, {"other.desktop", 1}}));
}

// A D-Bus activatable application whose service is not on the bus could not be opened, and the
// command says so (not that no window came).
TEST_F(X11ArrangeCommand, AnApplicationWhoseServiceIsAbsentCouldNotBeOpened) {
    entryFolder.write("applications/org.example.Absent.desktop",
                      "[Desktop Entry]\nType=Application\nName=Absent\nDBusActivatable=true\n");
    ASSERT_TRUE(run("dbus-run-session -- \"$0\" --arrange mirror org.example.Absent probe"));
    const std::string errors = program.readAllStandardError().toStdString();
    EXPECT_EQ(program.exitCode(), 1) << errors;
    EXPECT_THAT(errors, ::testing::HasSubstr(
                            "Absent: could not open (Launching org.example.Absent.desktop failed: "
                            "its D-Bus service org.example.Absent is not available)."));
    EXPECT_THAT(errors, ::testing::Not(::testing::HasSubstr("CRITICAL")));
    EXPECT_THAT(errors, ::testing::Not(::testing::HasSubstr("no available window")));
}

}  // namespace
}  // namespace tessora::testing
