#include "workspace/AppSearch.h"

#include <gtest/gtest.h>

namespace tessora {
namespace {

std::optional<int> score(const QString& candidate, const QString& query) {
    return matchScore(foldForMatching(candidate), foldForMatching(query));
}

InstalledApp app(const QString& id, const QString& name, std::optional<QString> bundleName = {}) {
    return {id, name, QStringLiteral("/usr/share/applications/%1.desktop").arg(id), bundleName};
}

QStringList rankedNames(const InstalledApps& apps, const QString& query,
                        const QSet<QString>& running = {}) {
    QStringList names;
    for (const qsizetype index : AppSearchIndex(apps).rank(query, [&] { return running; })) {
        names << apps[index].name;
    }
    return names;
}

TEST(MatchScore, WorkedExamplesFoldingAndBlanks) {
    EXPECT_EQ(score("Safari", "saf"), 13);
    EXPECT_EQ(score("Google Chrome", "chrome"), 107);
    EXPECT_EQ(score("Visual Studio Code", "vsc"), 230);
    EXPECT_EQ(score("Mail", "xyz"), std::nullopt);
    EXPECT_EQ(score("anything", ""), 0);
    EXPECT_EQ(score("", "a"), std::nullopt);
    EXPECT_EQ(score("", ""), 0);

    // Case and diacritics fold away.
    EXPECT_EQ(score("Café", "cafe"), 0);
    EXPECT_EQ(score("cafe", "CAFÉ"), 0);
    EXPECT_EQ(score("Ångström Viewer", "angstrom"), 10 + 15 - 8);
    // Lengths and offsets count characters, also outside the basic plane.
    EXPECT_EQ(score("𝔸 Notes", "notes"), 102);

    // "vs code" is no prefix or substring of the name, so it matches as a subsequence with the
    // blank skipped: v at 0, s at 2 (1 skipped), c at 14 (11 skipped), then o, d, e in a row.
    EXPECT_EQ(score("Visual Studio Code", "vs code"), 200 + 1 + 11 + 18);
    EXPECT_EQ(score("Visual Studio Code", "studio code"), 107);  // a blank counts for a substring
}

TEST(AppSearch, RankingOrderTiesAndOtherCandidates) {
    const InstalledApps apps{app("xcode", "Xcode"), app("vscode", "Visual Cobol Debugger"),
                             app("code", "Code"), app("zed", "Zed")};
    EXPECT_EQ(rankedNames(apps, "code"), QStringList({"Code", "Xcode", "Visual Cobol Debugger"}));
    EXPECT_EQ(rankedNames(apps, " \n code\t"),
              QStringList({"Code", "Xcode", "Visual Cobol Debugger"}));

    // The catalog is deliberately unsorted: ties are decided by the file-browser order of names
    // (case-insensitive, numbers by value), full ties by catalog position.
    const InstalledApps tied{app("t10", "Tool 10"), app("t9", "tool 9"), app("b", "Beta"),
                             app("dup2", "Same"), app("dup1", "same")};
    EXPECT_EQ(rankedNames(tied, ""), QStringList({"Beta", "Same", "same", "tool 9", "Tool 10"}));

    // The entry file name and the unlocalized name also match; the best candidate wins.
    const InstalledApps named{app("org.gnome.Nautilus", "Dateien", QStringLiteral("Files")),
                              app("org.kde.dolphin", "Dolphin")};
    EXPECT_EQ(rankedNames(named, "files"), QStringList({"Dateien"}));
    EXPECT_EQ(rankedNames(named, "nautilus"), QStringList({"Dateien"}));
    EXPECT_EQ(entryFileStem("/x/y/org.gnome.Nautilus.desktop"), "org.gnome.Nautilus");
    EXPECT_EQ(entryFileStem("/opt/tool/bin/run.sh"), "run.sh");
}

TEST(AppSearch, BlankQueryPutsRunningApplicationsFirst) {
    const InstalledApps apps{app("a", "Atom"), app("b", "Blender"), app("z", "zsh Terminal"),
                             app("y", "Yelp")};
    EXPECT_EQ(rankedNames(apps, "", {"z", "b", "unknown"}),
              QStringList({"Blender", "zsh Terminal", "Atom", "Yelp"}));
    EXPECT_EQ(rankedNames(apps, "   ", {"y"}),
              QStringList({"Yelp", "Atom", "Blender", "zsh Terminal"}));
    // Running applications get no bonus once something is typed; they are not even asked for.
    EXPECT_EQ(rankedNames(apps, "l", {"y"}).first(), "Blender");
    int calls = 0;
    const auto running = [&] {
        ++calls;
        return QSet<QString>();
    };
    AppSearchIndex(apps).rank("at", running);
    EXPECT_EQ(calls, 0);
    AppSearchIndex(apps).rank("", running);
    EXPECT_EQ(calls, 1);
}

TEST(AppSearch, StopRequestEndsTheSearch) {
    InstalledApps apps;
    for (int i = 0; i < 2000; ++i) {
        apps.append(app(QString::number(i), QStringLiteral("App %1").arg(i)));
    }
    std::stop_source stop;
    stop.request_stop();
    EXPECT_TRUE(AppSearchIndex(apps).rank("app", {}, stop.get_token()).empty());
    EXPECT_EQ(AppSearchIndex(apps).rank("app", {}).size(), 2000u);
}

}  // namespace
}  // namespace tessora
