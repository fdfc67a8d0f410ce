// The catalog and the windows of what it lists, put together as the program does it: the
// backend matches windows against the desktop entries of the catalog's folders, read again when
// the catalog is scanned.
#include "core/Task.h"
#include "platform/DefaultsStore.h"
#include "platform/sim/ManualBackgroundWork.h"
#include "platform/sim/VirtualClock.h"
#include "platform/x11/X11WindowSystem.h"
#include "tests/support/FileOpens.h"
#include "tests/support/TemporaryTree.h"
#include "tests/support/x11/XSession.h"
#include "workspace/WorkspaceModel.h"

#include <gtest/gtest.h>

namespace tessora::testing {
namespace {

class X11CatalogWindows : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(session.start(&error)) << error.toStdString();
        environment.applicationFolders = {tree.path("data/applications")};
        writeEntry("editor", "Name=Editor\nExec=editor\n");
        X11Options options;
        options.display = session.display();
        options.waylandSession = false;
        system = X11WindowSystem::open(clock, options);
        ASSERT_TRUE(system && system->canControlWindows());
        model = std::make_unique<WorkspaceModel>(
            *defaults, WorkspaceServices{*system, background, environment, {}, nullptr});
    }

    void writeEntry(const QString& id, const QByteArray& keys) {
        tree.write("data/applications/" + id + ".desktop",
                   "[Desktop Entry]\nType=Application\n" + keys);
    }

    // A test client's window of this class, once the backend sees it.
    void startClient(const QString& windowClass) {
        ASSERT_FALSE(session.startClient({"--class", windowClass}).empty());
        ASSERT_TRUE(session.waitUntil([&] {
            for (const RunningApplication& app : system->runningApplications()) {
                if (app.name == windowClass || app.id.contains(windowClass, Qt::CaseInsensitive)) {
                    return true;
                }
            }
            return false;
        }));
    }

    // The catalog's ids after a scan, as the launcher makes it when it is shown.
    QStringList scannedIds() {
        startDetached(model->refreshApps());
        background.runAll();
        QStringList ids;
        for (const InstalledApp& app : model->apps()) {
            ids << app.id;
        }
        return ids;
    }

    XSession session;
    TemporaryTree tree;
    VirtualClock clock;
    ManualBackgroundWork background;
    CatalogEnvironment environment;
    std::unique_ptr<X11WindowSystem> system;
    std::unique_ptr<DefaultsStore> defaults = DefaultsStore::inMemory();
    std::unique_ptr<WorkspaceModel> model;
};

// Installed while the program runs: the running application is its entry's, listed once, not
// once more under its window class.
TEST_F(X11CatalogWindows, AnApplicationInstalledMeanwhileIsKnownByItsEntry) {
    startClient("Fresh");
    EXPECT_EQ(scannedIds(), QStringList({"editor", "Fresh"}));

    writeEntry("org.example.Fresh", "Name=Fresh\nExec=fresh\nStartupWMClass=Fresh\n");
    EXPECT_EQ(scannedIds(), QStringList({"editor", "org.example.Fresh"}));
    const std::optional<RunningApplication> fresh = system->runningApplication("org.example.Fresh");
    ASSERT_TRUE(fresh);
    EXPECT_TRUE(fresh->matchesEntry());
    EXPECT_FALSE(system->runningApplication("Fresh"));
}

// A running application whose entry is hidden (NoDisplay, a helper's entry) is that entry's, so
// it is not listed at all; a shown entry of the same class still wins its windows.
TEST_F(X11CatalogWindows, AnApplicationWithAHiddenEntryIsNotListed) {
    writeEntry("display-im6",
               "Name=Display\nExec=display\nStartupWMClass=Display\nNoDisplay=true\n");
    writeEntry("a-helper", "Name=Helper\nExec=helper\nStartupWMClass=Viewer\nNoDisplay=true\n");
    writeEntry("viewer", "Name=Viewer\nExec=viewer\nStartupWMClass=Viewer\n");
    startClient("Display");
    startClient("Viewer");
    EXPECT_EQ(scannedIds(), QStringList({"editor", "viewer"}));
    EXPECT_TRUE(system->runningApplication("display-im6"));
    EXPECT_TRUE(system->runningApplication("viewer"));
    EXPECT_FALSE(system->runningApplication("a-helper"));
}

// The catalog and the matching of windows both need the entries: a scan reads each file once,
// and never on the main thread (a folder slow to walk must not stall the program).
TEST_F(X11CatalogWindows, AScanReadsEachEntryOnceAndOffTheMainThread) {
    writeEntry("viewer", "Name=Viewer\nExec=viewer\nStartupWMClass=Viewer\nNoDisplay=true\n");
    startClient("Viewer");
    FileOpens opens(tree.path("data/applications"));
    ASSERT_TRUE(opens.watching());
    startDetached(model->refreshApps());
    EXPECT_TRUE(opens.take().isEmpty()) << "entries were read on the main thread";
    background.runAll();
    EXPECT_EQ(opens.take(), (QHash<QString, int>{{"editor.desktop", 1}, {"viewer.desktop", 1}}));
    EXPECT_EQ(model->apps().size(), 1);
    EXPECT_TRUE(system->runningApplication("viewer"));  // its window, known by the hidden entry
}

}  // namespace
}  // namespace tessora::testing
