#include "workspace/AppCatalog.h"
#include "workspace/ApplicationFolderWalk.h"

#include "tests/platform/TestEnvironment.h"
#include "tests/support/TemporaryTree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <QDir>
#include <filesystem>
#include <fstream>

namespace tessora {
namespace {

using ::testing::ElementsAre;
using testing::EnvironmentGuard;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

QByteArray entry(const QByteArray& name, const QByteArray& extra = {}) {
    return "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=run\n" + extra;
}

RunningApplication running(QString id, QString name, QString location, bool regular = true) {
    return {std::move(id), std::move(name), std::move(location), regular, std::nullopt, 0};
}

class AppCatalogTest : public ::testing::Test {
protected:
    AppCatalogTest() {
        env.applicationFolders = {tree.path("home/apps"), tree.path("usr/apps"),
                                  tree.path("missing/apps")};
        env.currentDesktops = {"ubuntu", "GNOME"};
        env.programExists = [](const QString& program) { return program != "missing"; };
    }
    QString home(const QString& file, const QByteArray& data) {
        return tree.write("home/apps/" + file, data);
    }
    QString usr(const QString& file, const QByteArray& data) {
        return tree.write("usr/apps/" + file, data);
    }
    // "id name url" of every record, in the catalog's order.
    QStringList scan(const QList<RunningApplication>& apps = {}, std::stop_token stop = {}) {
        QStringList result;
        for (const InstalledApp& app : scanApplications(env, apps, stop)) {
            result.append(app.id + " " + app.name + " " + app.url);
        }
        return result;
    }
    QStringList listed(QString InstalledApp::*field) {
        QStringList result;
        for (const InstalledApp& app : scanApplications(env, {})) {
            result.append(app.*field);
        }
        return result;
    }

    testing::TemporaryTree tree;
    CatalogEnvironment env;
};

TEST_F(AppCatalogTest, FirstFolderOwnsAnIdEvenWhenItsEntryIsNotListed) {
    const QString mine = home("editor.desktop", entry("Mine"));
    usr("editor.desktop", entry("Editor"));
    const std::pair<const char*, QByteArray> userCopies[] = {
        {"hidden", entry("H", "Hidden=true")},
        {"nodisplay", entry("N", "NoDisplay=1")},
        {"broken", "junk"}};
    for (const auto& [id, data] : userCopies) {
        home(id + QStringLiteral(".desktop"), data);
        usr(id + QStringLiteral(".desktop"), entry("System"));
    }
    const QString other = usr("other.desktop", entry("Other"));
    EXPECT_THAT(scan(), ElementsAre("editor Mine " + mine, "other Other " + other));
}

TEST_F(AppCatalogTest, ListsOnlyWhatAUserWouldLaunchOnThisDesktop) {
    usr("shown.desktop", entry("Shown", "OnlyShowIn=KDE;GNOME;\nNotShowIn=XFCE;\nTryExec=run"));
    usr("dbus.desktop", "[Desktop Entry]\nType=Application\nName=DBus\nDBusActivatable=true\n");
    usr("link.desktop", "[Desktop Entry]\nType=Link\nName=Link\nURL=https://example.org\n");
    usr("notype.desktop", "[Desktop Entry]\nName=NoType\nExec=run\n");
    usr("noexec.desktop", "[Desktop Entry]\nType=Application\nName=NoExec\n");
    usr("kde.desktop", entry("Kde", "OnlyShowIn=KDE;\n"));
    usr("notgnome.desktop", entry("NotGnome", "NotShowIn=XFCE;GNOME;\n"));
    usr("uninstalled.desktop", entry("Uninstalled", "TryExec=missing\n"));
    usr("hidden.desktop", entry("Hidden", "Hidden=true\n"));
    EXPECT_THAT(listed(&InstalledApp::id), ElementsAre("dbus", "shown"));
    env.currentDesktops.clear();
    EXPECT_THAT(listed(&InstalledApp::id), ElementsAre("dbus", "notgnome"));

    EnvironmentGuard path("PATH", "/nonexistent:relative:/usr/bin:/bin");
    env.programExists = CatalogEnvironment::fromProcess().programExists;
    EXPECT_TRUE(env.programExists("sh") && env.programExists("/bin/sh"));
    EXPECT_FALSE(env.programExists("tessora-surely-not-installed") || env.programExists("/bin"));
}

TEST_F(AppCatalogTest, NamesComeFromTheEntryOrElseItsFileName) {
    EnvironmentGuard language("LANGUAGE", "de");
    usr("calc.desktop", entry("Calculator", "Name[de]=Rechner\n"));
    usr("anon.desktop", "[Desktop Entry]\nType=Application\nExec=run\n");
    usr("bad.desktop", entry("Bad\xff"));
    const InstalledApps apps = scanApplications(env, {});
    ASSERT_EQ(apps.size(), 3);
    EXPECT_EQ(apps[0].name + apps[1].name + apps[2].name, "anonbadRechner");
    EXPECT_EQ(apps[0].bundleName, std::nullopt);
    EXPECT_EQ(apps[2].bundleName, "Calculator");
}

TEST_F(AppCatalogTest, WalksNestedAndLinkedFoldersOnce) {
    const QString target = usr("deep/er/tool.desktop", entry("Tool"));
    const QString foo = usr("sub/foo.desktop", entry("Foo"));
    usr(".hidden/secret.desktop", entry("Secret"));
    usr(".dot.desktop", entry("Dot"));
    usr("readme.txt", entry("Text"));
    const QString alias = tree.link("home/apps/alias.desktop", target);
    tree.link("home/apps/linked", tree.path("usr/apps/sub"));
    tree.link("usr/apps/deep/loop", tree.path("usr/apps/deep"));
    tree.link("usr/apps/deep/up", tree.path("usr/apps"));
    tree.link("usr/apps/dangling.desktop", tree.path("nowhere.desktop"));
    const std::string latin1 = tree.path("usr/apps/latin1-").toStdString() + "\xe9.desktop";
    std::ofstream(latin1) << entry("Latin1").constData();

    const QStringList found = scan();
    std::filesystem::remove(latin1);  // QTemporaryDir cannot remove what it cannot name
    EXPECT_THAT(found,
                UnorderedElementsAre("linked-foo Foo " + tree.path("home/apps/linked/foo.desktop"),
                                     "sub-foo Foo " + foo, "alias Tool " + alias,
                                     "deep-er-tool Tool " + target));
    EXPECT_EQ(desktopFileId(tree.path("usr/apps/"), target), "deep-er-tool");
    EXPECT_EQ(desktopFileId(tree.path("usr/ap"), target), "");
}

// Links are followed into application folders only, never back into a folder already walked
// and never without end: a link to / must not turn the catalog into a walk of the disk.
TEST_F(AppCatalogTest, FollowsLinksOnlyIntoApplicationFoldersAndNotTooDeep) {
    usr("loops/tool.desktop", entry("Tool"));
    tree.link("usr/apps/loops/again", ".");
    tree.link("usr/apps/loops/once-more", ".");
    tree.link("usr/apps/root", "/");
    tree.write("elsewhere/stray.desktop", entry("Stray"));
    tree.link("usr/apps/elsewhere", tree.path("elsewhere"));
    tree.write("vendor/applications/shared.desktop", entry("Shared"));
    tree.link("usr/apps/vendor", tree.path("vendor/applications"));
    usr(QStringLiteral("d/").repeated(FolderWalkBounds().maxDepth + 1) + "deep.desktop",
        entry("Deep"));
    usr(QStringLiteral("n/").repeated(FolderWalkBounds().maxDepth - 1) + "nested.desktop",
        entry("Nested"));

    const InstalledApps apps = scanApplications(env, {});
    QStringList ids;
    for (const InstalledApp& app : apps) {
        ids << app.id;
    }
    EXPECT_THAT(ids, UnorderedElementsAre("loops-tool", "vendor-shared",
                                          QStringLiteral("n-").repeated(11) + "nested"));
}

// An entry that cannot start anything is left out with the reason, rather than listed and
// found wanting at the launch.
TEST_F(AppCatalogTest, LeavesOutEntriesWhoseExecCannotRun) {
    const QByteArray head = "[Desktop Entry]\nType=Application\nName=N\n";
    const QString quote = usr("quote.desktop", head + "Exec=run \"unbalanced\n");
    const QString absent = usr("absent.desktop", head + "Exec=missing --flag\n");
    const QString latin1 = usr("latin1.desktop", head + "Exec=caf\xe9\n");
    const QString none = usr("none.desktop", head);
    usr("dbus.desktop", head + "DBusActivatable=true\nExec=missing\n");  // Exec: a fallback
    usr("good.desktop", entry("Good"));
    const testing::WarningLog log;
    EXPECT_THAT(listed(&InstalledApp::id), UnorderedElementsAre("dbus", "good"));
    const QStringList& warnings = log.messages();
    ASSERT_EQ(warnings.size(), 4) << warnings.join('\n').toStdString();
    const auto warningFor = [&](const QString& path) {
        return warnings.filter(path).join("").toStdString();
    };
    EXPECT_THAT(warningFor(quote), HasSubstr("cannot be read"));
    EXPECT_THAT(warningFor(absent), HasSubstr("missing is not installed"));
    EXPECT_THAT(warningFor(latin1), HasSubstr("not valid UTF-8"));
    EXPECT_THAT(warningFor(none), HasSubstr("has no Exec"));
}

TEST_F(AppCatalogTest, SkipsBadFilesWithAWarningAndGoesOn) {
    static const char binary[] =
        "\x7f"
        "ELF\0\x01\xff\xfe[\0]";
    const QString junk = usr("junk.desktop", QByteArray(binary, sizeof binary - 1));
    usr("nogroup.desktop", "[Desktop Action x]\nName=X\n");
    usr("truncated.desktop", "[Desktop Ent");
    usr("huge.desktop", entry("Huge", QByteArray(kMaxDesktopEntryBytes, '#')));
    const QString good = usr("good.desktop", entry("Good"));
    const testing::WarningLog log;
    EXPECT_THAT(scan(), ElementsAre("good Good " + good));
    const QStringList& warnings = log.messages();
    EXPECT_EQ(warnings.size(), 4);
    EXPECT_EQ(warnings.filter(junk).size(), 1) << warnings.join('\n').toStdString();

    // The catalog is scanned at every show of the launcher: each file is reported once, and
    // again only once it has changed. A copy of the environment remembers the same.
    const CatalogEnvironment copy = env;
    EXPECT_THAT(scan(), ElementsAre("good Good " + good));
    EXPECT_EQ(scanApplications(copy, {}).size(), 1);
    EXPECT_EQ(log.messages().size(), 4) << log.messages().join('\n').toStdString();
    usr("nogroup.desktop", "[Desktop Action x]\nName=Changed\n");
    EXPECT_THAT(scan(), ElementsAre("good Good " + good));
    EXPECT_EQ(log.messages().size(), 5) << log.messages().join('\n').toStdString();
}

TEST_F(AppCatalogTest, AddsRunningApplicationsThatNoListedEntryCovers) {
    const QString editor = usr("editor.desktop", entry("Editor"));
    usr("quiet.desktop", entry("Quiet", "NoDisplay=true\n"));
    usr(env.ownId + ".desktop", entry("Tessora"));
    const QString game = tree.write("Downloads/game.desktop", entry("Game"));
    const QString panel = tree.write("Downloads/panel.desktop", entry("Panel", "NoDisplay=1"));
    const QList<RunningApplication> apps = {
        running("editor", "Editor (running)", "/usr/bin/editor"),
        running("quiet", "Quiet", "/usr/bin/quiet"),
        running("game", "", game),
        running("panel", "", panel),
        running("zsh-tool", "", "/usr/bin/zsh-tool"),
        running("term", "Terminal", "/usr/bin/term"),
        running("term", "Second Terminal", "/opt/term"),
        running("dock", "Dock", "/usr/bin/dock", false),
        running("", "Nameless", "/usr/bin/x"),
        running(env.ownId, "Tessora", "/usr/bin/tessora"),
    };
    EXPECT_THAT(scan(apps), ElementsAre("editor Editor " + editor, "game Game " + game,
                                        "term Second Terminal /opt/term",
                                        "zsh-tool zsh-tool /usr/bin/zsh-tool"));
}

TEST_F(AppCatalogTest, SortsLikeAFileBrowser) {
    for (const char* name : {"App 10", "zoom", "App 9", "Émile", "Editor", "atom", "Fax"}) {
        usr(QString::fromUtf8(name) + ".desktop", entry(name));
    }
    EXPECT_THAT(listed(&InstalledApp::name),
                ElementsAre("App 9", "App 10", "atom", "Editor", "Émile", "Fax", "zoom"));
}

TEST_F(AppCatalogTest, StopsBetweenFiles) {
    std::stop_source stop;
    env.programExists = [&](const QString& program) {
        if (program == "stop") {
            stop.request_stop();
        }
        return true;
    };
    const QString a = usr("a.desktop", entry("A"));
    const QString b = usr("b.desktop", entry("B", "TryExec=stop\n"));
    usr("c.desktop", entry("C"));
    EXPECT_THAT(scan({running("running", "", "/usr/bin/running")}, stop.get_token()),
                ElementsAre("a A " + a, "b B " + b));
}

TEST(CatalogEnvironmentTest, FollowsTheXdgVariablesAndTheirDefaults) {
    EnvironmentGuard home("HOME", "/home/user");
    EnvironmentGuard dataHome("XDG_DATA_HOME", QByteArray());
    EnvironmentGuard dataDirs("XDG_DATA_DIRS", "");
    EnvironmentGuard desktop("XDG_CURRENT_DESKTOP", QByteArray());
    CatalogEnvironment env = CatalogEnvironment::fromProcess();
    EXPECT_THAT(env.applicationFolders,
                ElementsAre("/home/user/.local/share/applications", "/usr/local/share/applications",
                            "/usr/share/applications"));
    EXPECT_THAT(env.currentDesktops, IsEmpty());

    qputenv("XDG_DATA_HOME", "/data/home/");
    qputenv("XDG_DATA_DIRS", "relative:/opt/share:/usr/share/:/usr/share::");
    qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    env = CatalogEnvironment::fromProcess();
    EXPECT_THAT(env.applicationFolders,
                ElementsAre("/data/home/applications", "/opt/share/applications",
                            "/usr/share/applications"));
    EXPECT_THAT(env.currentDesktops, ElementsAre("ubuntu", "GNOME"));
}

}  // namespace
}  // namespace tessora
