#include "workspace/WorkspaceModel.h"

#include "core/TaskHandle.h"
#include "platform/sim/ManualBackgroundWork.h"
#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/VirtualClock.h"
#include "tests/support/TemporaryTree.h"
#include "workspace/SettingsKeys.h"

#include <gtest/gtest.h>
#include <QJsonArray>

namespace tessora {
namespace {

using namespace std::chrono_literals;
using testing::TemporaryTree;

InstalledApp app(const QString& id, const QString& name = {}) {
    return {id, name.isEmpty() ? id : name, QStringLiteral("/apps/%1.desktop").arg(id), {}};
}

// A running application that says it was started from an executable, at `launched`.
void run(SimWindowSystem& sim, const QString& id,
         std::optional<std::chrono::milliseconds> launched = {}, bool regular = true) {
    SimApp& app = sim.addApp(id, id);
    app.location = QStringLiteral("/usr/bin/%1").arg(id);
    app.launchTime = launched;
    app.regular = regular;
}

QByteArray entry(const QString& name) {
    return QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%1\n")
        .arg(name)
        .toUtf8();
}

QStringList ids(const InstalledApps& apps) {
    QStringList result;
    for (const InstalledApp& a : apps) {
        result << a.id;
    }
    return result;
}

// Earlier editions' settings, when a test writes them, are in the tree, like the catalog.
class WorkspaceModelTest : public ::testing::Test {
protected:
    std::unique_ptr<WorkspaceModel> makeModel(DefaultsStore& defaults) {
        CatalogEnvironment catalog;
        catalog.applicationFolders = {tree.path("data/applications")};
        const auto openEdition = [this](const QString& domain) {
            ++opened;
            return DefaultsStore::openSuite(tree.root(), domain);
        };
        return std::make_unique<WorkspaceModel>(
            defaults, WorkspaceServices{desktop, background, catalog, openEdition});
    }

    TemporaryTree tree;
    VirtualClock clock;
    SimWindowSystem desktop{clock};
    ManualBackgroundWork background;
    std::unique_ptr<DefaultsStore> store = DefaultsStore::inMemory();
    int opened = 0;
};

TEST_F(WorkspaceModelTest, ConstructionReadsHistoryAndFirstRunFlag) {
    auto fresh = makeModel(*store);
    EXPECT_TRUE(fresh->recentIDs().isEmpty());
    EXPECT_TRUE(fresh->showOnboarding());
    EXPECT_TRUE(fresh->scanning());
    EXPECT_EQ(fresh->highlighted(), -1);

    auto returning = DefaultsStore::inMemory(
        {{keys::recentActivatedApps, QJsonArray{"b", "a"}}, {keys::onboardingVersion, 1}});
    auto model = makeModel(*returning);
    EXPECT_EQ(model->recentIDs(), QStringList({"b", "a"}));
    EXPECT_FALSE(model->showOnboarding());

    // Mistyped values read as absent.
    auto mistyped =
        DefaultsStore::inMemory({{keys::recentActivatedApps, "b"}, {keys::onboardingVersion, "1"}});
    auto confused = makeModel(*mistyped);
    EXPECT_TRUE(confused->recentIDs().isEmpty());
    EXPECT_TRUE(confused->showOnboarding());
}

TEST_F(WorkspaceModelTest, EqualWritesNotifyNothing) {
    auto model = makeModel(*store);
    int changes = 0;
    for (auto signal : {&WorkspaceModel::queryChanged, &WorkspaceModel::layoutIDChanged,
                        &WorkspaceModel::highlightedChanged, &WorkspaceModel::selectedChanged,
                        &WorkspaceModel::busyChanged, &WorkspaceModel::targetDisplayIDChanged,
                        &WorkspaceModel::appsChanged, &WorkspaceModel::verifiedKeysChanged}) {
        QObject::connect(model.get(), signal, [&] { ++changes; });
    }
    model->setQuery("x");  // the highlight follows: the query and the highlight change
    model->setQuery("x");
    model->setLayoutID("triad");
    model->setLayoutID("triad");
    model->setHighlighted(0);
    model->setBusy(false);
    model->setTargetDisplayID(std::nullopt);
    model->setTargetDisplayID(7u);
    model->setTargetDisplayID(7u);
    model->insertVerifiedKey(0);
    model->insertVerifiedKey(0);
    EXPECT_EQ(changes, 5);

    // Lists compare by id only: a renamed record is no change.
    model->setApps({app("a"), app("b")});
    model->setApps({app("a", "Renamed"), app("b")});
    EXPECT_EQ(changes, 6);
    EXPECT_EQ(model->apps().first().name, "Renamed");
    model->setSelected({app("a")});
    model->setSelected({app("a", "Other name")});
    EXPECT_EQ(changes, 7);
}

TEST_F(WorkspaceModelTest, ToggleAndClear) {
    auto model = makeModel(*store);
    const InstalledApp a = app("a"), b = app("b"), c = app("c");
    model->toggle(a);
    model->toggle(b);
    model->toggle(c);
    model->setQuery("typed");
    model->setHighlighted(2);
    model->toggle(b);  // removing keeps the query and the others' order
    EXPECT_EQ(ids(model->selected()), QStringList({"a", "c"}));
    EXPECT_EQ(model->query(), "typed");
    EXPECT_EQ(model->highlighted(), -1);
    model->toggle(app("b", "Same id, other name"));  // selecting clears the query
    EXPECT_EQ(ids(model->selected()), QStringList({"a", "c", "b"}));
    EXPECT_EQ(model->query(), "");
    EXPECT_EQ(WorkspaceModel::selectionPosition(c, model->selected()), 1);
    EXPECT_EQ(WorkspaceModel::selectionPosition(app("z"), model->selected()), std::nullopt);

    model->setLayoutID("quadra");
    model->setHighlighted(3);
    model->setTargetDisplayID(5u);
    model->clearSelection();
    EXPECT_TRUE(model->selected().isEmpty());
    EXPECT_EQ(model->layoutID(), "");
    EXPECT_EQ(model->highlighted(), -1);
    EXPECT_EQ(model->targetDisplayID(), std::nullopt);
}

TEST_F(WorkspaceModelTest, RecentHistory) {
    auto model = makeModel(*store);
    for (int i = 0; i < 11; ++i) {
        model->recordActivation(QString::number(i));
    }
    model->recordActivation("5");
    const QStringList expected{"5", "10", "9", "8", "7", "6", "4", "3", "2", "1"};
    EXPECT_EQ(model->recentIDs(), expected);
    EXPECT_EQ(store->textListValue(keys::recentActivatedApps), expected);

    // recentApps: at most seven, only those still installed, in history order.
    InstalledApps catalog;
    for (const char* id : {"1", "2", "3", "4", "6", "7", "8", "9", "10"}) {
        catalog.append(app(id));
    }
    model->setApps(catalog);
    EXPECT_EQ(ids(model->recentApps()), QStringList({"10", "9", "8", "7", "6", "4", "3"}));
}

TEST_F(WorkspaceModelTest, ResultsRankRunningApplicationsFirstWhenNothingIsTyped) {
    auto model = makeModel(*store);
    model->setApps({app("atom", "Atom"), app("code", "Code"), app("xcode", "Xcode")});
    run(desktop, "xcode");
    model->refreshResults();  // as the launcher does each time it is shown
    EXPECT_EQ(ids(model->results()), QStringList({"xcode", "atom", "code"}));
    model->setQuery("code");
    EXPECT_EQ(ids(model->results()), QStringList({"code", "xcode"}));
}

// The query, its results and the highlight change together: whoever hears of the query sees
// the results and the highlight that go with it, and nothing is said twice.
TEST_F(WorkspaceModelTest, TheQueryRanksTheResultsAndLeadsTheHighlight) {
    auto model = makeModel(*store);
    model->setApps({app("atom", "Atom"), app("code", "Code"), app("xcode", "Xcode")});
    QStringList heard;
    QObject::connect(model.get(), &WorkspaceModel::resultsChanged,
                     [&] { heard << "results " + ids(model->results()).join(','); });
    QObject::connect(model.get(), &WorkspaceModel::highlightedChanged,
                     [&] { heard << QStringLiteral("highlight %1").arg(model->highlighted()); });
    QObject::connect(model.get(), &WorkspaceModel::queryChanged, [&] {
        heard << QStringLiteral("query %1 sees %2 results, highlight %3")
                     .arg(model->query())
                     .arg(model->results().size())
                     .arg(model->highlighted());
    });

    model->setQuery("co");
    model->setHighlighted(1);
    model->setQuery("cod");  // the same results; the highlight goes back to the first
    model->refreshResults();
    model->setQuery("");
    EXPECT_EQ(heard,
              QStringList({"results code,xcode", "highlight 0",
                           "query co sees 2 results, highlight 0", "highlight 1", "highlight 0",
                           "query cod sees 2 results, highlight 0", "results atom,code,xcode",
                           "highlight -1", "query  sees 3 results, highlight -1"}));

    // A renamed application is a change of the results, though records compare by id.
    heard.clear();
    model->setApps({app("atom", "Atom 2"), app("code", "Code"), app("xcode", "Xcode")});
    EXPECT_EQ(heard, QStringList{"results atom,code,xcode"});
    EXPECT_EQ(model->results().first().name, "Atom 2");
    EXPECT_EQ(model->rankedFor("x").first().id, "xcode");
    EXPECT_EQ(model->query(), "") << "ranking another text leaves the model as it is";
}

TEST_F(WorkspaceModelTest, RefreshScansOnceAtATimeAndSeedsTheHistory) {
    tree.write("data/applications/editor.desktop", entry("Editor"));
    tree.write("data/applications/browser.desktop", entry("Browser"));
    tree.write("data/applications/mail.desktop", entry("Mail"));
    for (const char* id : {"mail", "editor", "browser"}) {
        // Matched to the entries written above.
        desktop.addApp(id, id).location =
            tree.path(QStringLiteral("data/applications/%1.desktop").arg(id));
    }
    desktop.app("mail").launchTime = 30s;
    desktop.app("browser").launchTime = 10s;
    run(desktop, "stranger", 20s);
    run(desktop, "panel", 40s, false);
    auto model = makeModel(*store);

    auto first = start(model->refreshApps());
    auto second = start(model->refreshApps());
    EXPECT_TRUE(second.done());  // dropped: a scan is already running
    EXPECT_EQ(background.pending(), 1u);
    EXPECT_TRUE(model->scanning());

    background.runAll();
    ASSERT_TRUE(first.done());
    EXPECT_FALSE(model->scanning());
    EXPECT_FALSE(model->scanInProgress());
    // The running application that matches no entry is listed with its executable.
    EXPECT_EQ(ids(model->apps()), QStringList({"browser", "editor", "mail", "stranger"}));
    // Seeded oldest launch first, so the newest is at the front; unknown launch times are oldest.
    EXPECT_EQ(model->recentIDs(), QStringList({"mail", "stranger", "browser", "editor"}));

    // A later refresh keeps `scanning` false (the catalog is not empty) and leaves history alone.
    int scanningChanges = 0;
    QObject::connect(model.get(), &WorkspaceModel::scanningChanged, [&] { ++scanningChanges; });
    desktop.quit(desktop.app("stranger"));
    desktop.app("browser").launchTime = 50s;
    auto third = start(model->refreshApps());
    EXPECT_FALSE(model->scanning());
    background.runAll();
    ASSERT_TRUE(third.done());
    EXPECT_EQ(scanningChanges, 0);
    EXPECT_EQ(ids(model->apps()), QStringList({"browser", "editor", "mail"}));
    EXPECT_EQ(model->recentIDs().first(), "mail");

    startDetached(model->refreshApps());
    model.reset();
    background.runAll();  // the model may go while a scan runs: it finishes into nothing
}

// Settings of the earlier editions move over once, into the standard store only.
TEST_F(WorkspaceModelTest, MigrationCopiesMissingKeysFromTheFirstEditionThatHasThem) {
    tree.write("orrery/settings.json",
               R"({"shortcutCode": 49, "noGaps": {"odd": [1]}, "appViewMode": "grid"})");
    tree.write("orrery-preview/settings.json",
               R"({"shortcutCode": 12, "shortcutLabel": "⌘space", "recentActivatedApps": ["x"],
                     "appViewMode": "list"})");
    tree.write("tessora/settings.json", R"({"appViewMode": "list", "onboardingVersion": 1})");
    auto defaults = DefaultsStore::openStandard(tree.root());
    ASSERT_TRUE(defaults->isStandard());
    auto model = makeModel(*defaults);

    EXPECT_EQ(defaults->integerValue(keys::shortcutCode), 49);      // first edition wins
    EXPECT_EQ(defaults->textValue(keys::shortcutLabel), "⌘space");  // second fills the gap
    EXPECT_EQ(defaults->textValue(keys::appViewMode), "list");      // present: kept
    EXPECT_EQ(defaults->value(keys::noGaps)->toObject().value("odd").toArray().size(), 1);
    EXPECT_EQ(defaults->boolValue(keys::preferencesMigrated), true);
    EXPECT_EQ(model->recentIDs(), QStringList({"x"}));  // migrated before it is read
    EXPECT_FALSE(model->showOnboarding());

    // The copy is on disk, and a second start opens no earlier edition at all.
    auto reopened = DefaultsStore::openStandard(tree.root());
    EXPECT_EQ(reopened->integerValue(keys::shortcutCode), 49);
    opened = 0;
    auto again = makeModel(*reopened);
    EXPECT_EQ(opened, 0);
}

TEST_F(WorkspaceModelTest, MigrationMarksItselfDoneEvenWithNothingToCopy) {
    tree.write("orrery/settings.json", "{ truncated");
    auto defaults = DefaultsStore::openStandard(tree.root());
    auto model = makeModel(*defaults);
    EXPECT_EQ(defaults->keys(), QStringList({keys::preferencesMigrated}));
    EXPECT_TRUE(QFile::exists(tree.path("orrery/settings.json")));  // earlier files untouched

    // Other stores never read earlier editions.
    tree.write("orrery/settings.json", R"({"shortcutCode": 49})");
    opened = 0;
    auto other = makeModel(*store);
    EXPECT_EQ(opened, 0);
    EXPECT_FALSE(store->contains(keys::shortcutCode));
    EXPECT_FALSE(store->contains(keys::preferencesMigrated));
}

}  // namespace
}  // namespace tessora
