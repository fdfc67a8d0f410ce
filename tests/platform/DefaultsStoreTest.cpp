#include "platform/DefaultsStore.h"

#include "tests/platform/TestEnvironment.h"
#include "tests/support/TemporaryTree.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <limits>
#include <sys/file.h>

namespace tessora {
namespace {

using testing::EnvironmentGuard;
using testing::TemporaryTree;
using testing::WarningLog;

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(DefaultsStore, KeepsEveryTypeAcrossAReopen) {
    TemporaryTree tree;
    auto store = DefaultsStore::openStandard(tree.root());
    EXPECT_TRUE(store->isStandard());
    const QJsonObject nested{{"x", QJsonArray{1, "two", true}}};
    store->setBool("flag", false);
    store->setInteger("low", std::numeric_limits<qint64>::min());
    store->setInteger("high", std::numeric_limits<qint64>::max());
    store->setText("name", QString::fromUtf8("Ørrery ✓"));
    store->setTextList("apps", {"a.desktop", "", "b c"});
    store->setTextList("none", {});
    store->setValue("raw", nested);
    store->setText("gone", "soon");
    store->remove("gone");

    const auto again = DefaultsStore::openFile(tree.path("tessora/settings.json"));
    EXPECT_FALSE(again->isStandard());
    EXPECT_EQ(again->boolValue("flag"), false);
    EXPECT_EQ(again->integerValue("low"), std::numeric_limits<qint64>::min());
    EXPECT_EQ(again->integerValue("high"), std::numeric_limits<qint64>::max());
    EXPECT_EQ(again->textValue("name"), QString::fromUtf8("Ørrery ✓"));
    EXPECT_EQ(again->textListValue("apps"), QStringList({"a.desktop", "", "b c"}));
    EXPECT_EQ(again->textListValue("none"), QStringList());
    EXPECT_EQ(again->value("raw"), QJsonValue(nested));
    EXPECT_FALSE(again->contains("gone"));
}

TEST(DefaultsStore, ReadsOtherTypesAsAbsentAndKeepsThemOnWrite) {
    TemporaryTree tree;
    const QByteArray original = R"({"count": 53.0, "half": 53.5, "huge": 1e19, "flag": "yes",
        "mixed": ["a", 1], "name": 5, "object": {"k": [null]},
        "t": "\ud800x", "l": ["ok", "\udc00"]})";
    const QString path = tree.write("settings.json", original);
    auto store = DefaultsStore::openFile(path);
    EXPECT_EQ(store->integerValue("count"), 53);
    EXPECT_EQ(store->integerValue("half"), std::nullopt);
    EXPECT_EQ(store->integerValue("huge"), std::nullopt);
    EXPECT_EQ(store->boolValue("flag"), std::nullopt);
    EXPECT_EQ(store->textListValue("mixed"), std::nullopt);
    EXPECT_EQ(store->textValue("name"), std::nullopt);
    EXPECT_TRUE(store->contains("flag"));
    // Text handed out is well formed; raw access stays unchanged.
    EXPECT_EQ(store->textValue("t"), QString(QChar::ReplacementCharacter) + "x");
    EXPECT_EQ(store->textListValue("l"), QStringList({"ok", QString(QChar::ReplacementCharacter)}));
    EXPECT_EQ(store->value("t")->toString().size(), 2);

    store->setBool("other", true);
    const auto again = DefaultsStore::openFile(path);
    const auto before = DefaultsStore::inMemory(QJsonDocument::fromJson(original).object());
    for (const QString& key : before->keys()) {
        EXPECT_EQ(again->value(key), before->value(key)) << key.toStdString();
    }
    EXPECT_EQ(again->boolValue("other"), true);
}

TEST(DefaultsStore, EqualWritesLeaveTheFileAlone) {
    TemporaryTree tree;
    const QString path = tree.path("settings.json");
    auto store = DefaultsStore::openFile(path);
    store->setInteger("count", 53);
    store->setTextList("apps", {"a"});
    // Replaced behind the store's back: any write would show.
    tree.write("settings.json", "untouched");
    store->setInteger("count", 53);
    store->setValue("count", 53.0);
    store->setTextList("apps", {"a"});
    store->remove("missing");
    EXPECT_EQ(contentOf(path), "untouched");

    store->setInteger("count", 54);
    EXPECT_EQ(DefaultsStore::openFile(path)->integerValue("count"), 54);
}

TEST(DefaultsStore, FindsTheConfigHomeByXdgRules) {
    const EnvironmentGuard home("HOME", "/home/someone");
    {
        const EnvironmentGuard xdg("XDG_CONFIG_HOME", "/elsewhere/conf/");
        EXPECT_EQ(DefaultsStore::configHome(), "/elsewhere/conf");
    }
    for (const QByteArray& ignored : {QByteArray(), QByteArray(""), QByteArray("relative/conf")}) {
        const EnvironmentGuard xdg("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(DefaultsStore::configHome(), "/home/someone/.config");
    }
}

TEST(DefaultsRecovery, KeepsCorruptFilesAsideAndStartsEmpty) {
    QByteArray huge = R"({"padding": ")" + QByteArray(4 * 1024 * 1024, 'x') + R"("})";
    const QList<std::pair<const char*, QByteArray>> cases{
        {"truncated", R"({"apps": ["a", "b")"},
        {"array", "[1, 2]"},
        {"number", "42"},
        {"garbage", QByteArray("\x00\xff\x13{\x80", 5)},
        {"bad utf-8", "{\"name\": \"\xc3\x28\"}"},
        {"too large", huge},
    };
    for (const auto& [label, bytes] : cases) {
        SCOPED_TRACE(label);
        TemporaryTree tree;
        const QString path = tree.write("tessora/settings.json", bytes);
        const WarningLog warnings;
        auto store = DefaultsStore::openStandard(tree.root());
        EXPECT_TRUE(store->keys().isEmpty());
        EXPECT_TRUE(warnings.mention(path));
        EXPECT_EQ(contentOf(path + ".corrupt"), bytes);

        // The store works on; a second bad file does not replace the first one kept aside.
        store->setBool("flag", true);
        EXPECT_EQ(DefaultsStore::openFile(path)->boolValue("flag"), true);
        tree.write("tessora/settings.json", "[]");
        EXPECT_TRUE(DefaultsStore::openStandard(tree.root())->keys().isEmpty());
        EXPECT_EQ(contentOf(path + ".corrupt"), bytes);
        EXPECT_EQ(contentOf(path + ".corrupt.1"), "[]");
    }
}

TEST(DefaultsRecovery, TakesAnEmptyFileAsNoSettings) {
    TemporaryTree tree;
    const QString path = tree.write("settings.json", "");
    {
        const WarningLog warnings;
        EXPECT_TRUE(DefaultsStore::openFile(path)->keys().isEmpty());
        EXPECT_TRUE(warnings.mention(path));
    }
    EXPECT_FALSE(QFileInfo::exists(path + ".corrupt"));
    const WarningLog warnings;
    DefaultsStore::openFile(tree.path("missing.json"));
    EXPECT_TRUE(warnings.messages().isEmpty());
}

TEST(DefaultsRecovery, LogsFailedWritesAndKeepsTheValues) {
    TemporaryTree tree;
    auto blockedByFolder = DefaultsStore::openFile(tree.path("settings.json"));
    tree.makeFolder("settings.json");
    // The config home is a file, so the store's folder cannot be made.
    auto withoutFolder = DefaultsStore::openStandard(tree.write("home", "a file"));
    for (DefaultsStore* store : {blockedByFolder.get(), withoutFolder.get()}) {
        const WarningLog warnings;
        store->setText("name", "kept");
        EXPECT_TRUE(warnings.mention(store->filePath()));
        EXPECT_EQ(store->textValue("name"), "kept");
    }
}

TEST(DefaultsRecovery, OpensEarlierEditionsReadOnly) {
    TemporaryTree tree;
    EXPECT_EQ(DefaultsStore::openSuite(tree.root(), "org.tessora.Orrery"), nullptr);
    EXPECT_EQ(DefaultsStore::openSuite(tree.root(), "org.example.Unknown"), nullptr);

    const QStringList folders{"orrery", "orrery-preview"};
    ASSERT_EQ(DefaultsStore::previousEditionDomains().size(), folders.size());
    for (int i = 0; i < folders.size(); ++i) {
        const QString domain = DefaultsStore::previousEditionDomains().at(i);
        const QString path = tree.write(folders[i] + "/settings.json", R"({"count": 3})");
        auto suite = DefaultsStore::openSuite(tree.root(), domain);
        ASSERT_NE(suite, nullptr) << domain.toStdString();
        EXPECT_TRUE(suite->isReadOnly());
        EXPECT_FALSE(suite->isStandard());
        EXPECT_EQ(suite->integerValue("count"), 3);
        suite->setInteger("count", 4);
        suite->remove("count");
        EXPECT_EQ(suite->integerValue("count"), 3);
        EXPECT_EQ(contentOf(path), R"({"count": 3})");

        tree.write(folders[i] + "/settings.json", "{\"count\": ");
        EXPECT_EQ(DefaultsStore::openSuite(tree.root(), domain), nullptr);
        EXPECT_EQ(contentOf(path), "{\"count\": ");
        EXPECT_FALSE(QFileInfo::exists(path + ".corrupt"));
    }
}

// A save killed between creating its temporary file and renaming it leaves that file complete;
// the next start removes it, and nothing else.
TEST(DefaultsRecovery, ClearsWhatInterruptedSavesLeftAndNothingElse) {
    TemporaryTree tree;
    const QString path = tree.write("tessora/settings.json", R"({"count": 1})");
    const QStringList leftovers{tree.write("tessora/settings.json.Ab12Cd", R"({"count": 2})"),
                                tree.write("tessora/settings.json.zzzzzz", "{")};
    const QString outside = tree.write("elsewhere/settings.json.Qr5678", "theirs");
    const QStringList kept{
        tree.write("tessora/settings.json.corrupt", "[]"),
        tree.write("tessora/settings.json.Ab12C", "5"),
        tree.write("tessora/settings.json.Ab12Cde", "7"),
        tree.write("tessora/settings.json.Ab-2Cd", "-"),
        tree.write("tessora/other.json.Ab12Cd", "other"),
        tree.link("tessora/settings.json.Lnk123", outside),
        tree.makeFolder("tessora/settings.json.Dir123"),
        tree.write("tessora/settings.json.Live12", "a save under way"),
    };
    // A save under way holds its temporary file locked.
    QFile live(kept.last());
    ASSERT_TRUE(live.open(QIODevice::ReadOnly));
    ASSERT_EQ(::flock(live.handle(), LOCK_EX | LOCK_NB), 0);

    auto store = DefaultsStore::openStandard(tree.root());
    EXPECT_EQ(store->integerValue("count"), 1);
    for (const QString& leftover : leftovers) {
        EXPECT_FALSE(QFileInfo::exists(leftover)) << leftover.toStdString();
    }
    for (const QString& other : kept) {
        EXPECT_TRUE(QFileInfo(other).isSymLink() || QFileInfo::exists(other))
            << other.toStdString();
    }
    EXPECT_EQ(contentOf(outside), "theirs");

    // Saves leave nothing behind either.
    store->setInteger("count", 3);
    QDir folder(tree.path("tessora"));
    // Only those kept: Ab-2Cd, Live12 and Lnk123.
    EXPECT_EQ(folder.entryList({"settings.json.??????"}, QDir::Files).size(), 3);
    EXPECT_EQ(DefaultsStore::openFile(path)->integerValue("count"), 3);
}

// A link at the settings' place is neither read nor written through, nor replaced: not one to a
// file of the user's, not a dangling one (whose target a save would create), whether it was
// there at the start or appeared later.
TEST(DefaultsRecovery, NeverReadsOrWritesThroughALink) {
    TemporaryTree tree;
    const QString target = tree.write("elsewhere/private", R"({"count": 7})");
    const QString missing = tree.path("elsewhere/not-yet");
    for (const QString& pointee : {target, missing}) {
        SCOPED_TRACE(pointee.toStdString());
        const QString path = tree.link("tessora/settings.json", pointee);
        std::unique_ptr<DefaultsStore> store;
        {
            const WarningLog warnings;
            store = DefaultsStore::openStandard(tree.root());
            EXPECT_TRUE(warnings.mention("symbolic link"));
        }
        EXPECT_FALSE(store->contains("count"));
        const WarningLog warnings;
        store->setInteger("count", 8);
        EXPECT_TRUE(warnings.mention("symbolic link"));
        EXPECT_EQ(QFileInfo(path).symLinkTarget(), pointee);
        QFile::remove(path);
    }
    EXPECT_EQ(contentOf(target), R"({"count": 7})");
    EXPECT_FALSE(QFileInfo::exists(missing));

    // Opened while nothing was there: a link made since is refused at the next save.
    auto store = DefaultsStore::openStandard(tree.root());
    const QString path = tree.link("tessora/settings.json", missing);
    const WarningLog warnings;
    store->setInteger("count", 9);
    EXPECT_TRUE(warnings.mention("symbolic link"));
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_TRUE(QFileInfo(path).isSymLink());
}

}  // namespace
}  // namespace tessora
