#include "platform/DesktopEntry.h"
#include "platform/MessageLanguages.h"

#include "tests/platform/TestEnvironment.h"
#include "tests/support/TemporaryTree.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QFile>

namespace tessora {
namespace {

TEST(DesktopEntryTest, ReadsTheKeysOfTheDesktopEntryGroupOnly) {
    const auto entry = parseDesktopEntry(
        "# comment\n[Desktop Entry]\nType=Application\nName=Text\\sEditor\nExec=edit %U\n"
        "TryExec=edit\nTerminal=true\nHidden=1\nDBusActivatable=maybe\nOnlyShowIn=GNOME;XFCE;\n"
        "NotShowIn=KDE\nStartupWMClass=Edit\n[Desktop Action new]\nIcon=new\nNoDisplay=true\n");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->type, "Application");
    EXPECT_EQ(entry->name, "Text Editor");
    EXPECT_EQ(entry->unlocalizedName, "Text Editor");
    EXPECT_EQ(entry->exec, "edit %U");
    EXPECT_EQ(entry->tryExec, "edit");
    EXPECT_EQ(entry->startupWmClass, "Edit");
    EXPECT_EQ(entry->icon, "");
    EXPECT_TRUE(entry->terminal && entry->hidden);
    EXPECT_FALSE(entry->noDisplay || entry->dbusActivatable);  // "maybe" is no boolean
    EXPECT_EQ(entry->onlyShowIn, QStringList({"GNOME", "XFCE"}));
    EXPECT_EQ(entry->notShowIn, QStringList({"KDE"}));
}

TEST(DesktopEntryTest, NameFollowsTheLanguageAndSkipsInvalidUtf8) {
    const QByteArray data =
        "[Desktop Entry]\nName=Calculator\nName[de]=Rechner\n"
        "Name[fr]=Calc\xff\nName[pt_BR]=Calculadora\n";
    const auto nameFor = [&](const QByteArray& language) {
        const testing::EnvironmentGuard guard("LANGUAGE", language);
        return parseDesktopEntry(data)->name;
    };
    EXPECT_EQ(nameFor("de"), "Rechner");
    EXPECT_EQ(nameFor("de_AT.UTF-8"), "Rechner");
    EXPECT_EQ(nameFor("it:pt_BR"), "Calculadora");
    EXPECT_EQ(nameFor("fr"), "Calculator");  // the translation is not UTF-8

    const auto invalid = parseDesktopEntry("[Desktop Entry]\nName=Bad\xc3(\nExec=b\xff\n");
    ASSERT_TRUE(invalid);
    EXPECT_EQ(invalid->name, std::nullopt);
    EXPECT_EQ(invalid->unlocalizedName, std::nullopt);
    EXPECT_EQ(invalid->exec, "");
}

TEST(DesktopEntryTest, FollowsTheKeyFileRules) {
    // Windows line ends, blanks around "=", a group written in two parts, a key given twice
    // (the later counts), escapes, and lists with escaped separators.
    const auto entry = parseDesktopEntry(
        "[Desktop Entry]\r\nName = First\r\nExec=old\r\n  # indented comment\r\n"
        "[Desktop Action new]\nExec=action\n"
        "[Desktop Entry]  \nName=Two\\sWords\\tand\\\\slash\nExec=sh -c \"echo \\\\$HOME\"\n"
        "OnlyShowIn=A\\;B;;C\\sD;\nNotShowIn=back\\\\;slash\nHidden=true \nTerminal=True\n"
        "Path=odd\\qescape\n");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, "Two Words\tand\\slash");
    EXPECT_EQ(entry->exec, "sh -c \"echo \\$HOME\"");
    EXPECT_EQ(entry->onlyShowIn, QStringList({"A;B", "C D"}));
    EXPECT_EQ(entry->notShowIn, QStringList({"back\\", "slash"}));
    EXPECT_TRUE(entry->hidden);
    EXPECT_FALSE(entry->terminal);  // booleans are lower case
    EXPECT_EQ(entry->workingFolder, "odd\\qescape");

    QString problem;
    EXPECT_FALSE(parseDesktopEntry("Name=Foo\n[Desktop Entry]\nName=Bar\n", &problem));
    EXPECT_TRUE(problem.contains("before any group")) << problem.toStdString();
    EXPECT_FALSE(parseDesktopEntry("[Desktop Entry]\n=value\n", &problem));
    EXPECT_TRUE(problem.contains("line 2")) << problem.toStdString();
}

TEST(DesktopEntryTest, TranslationsFollowTheLocaleFromSpecificToGeneral) {
    EXPECT_EQ(localeVariants("sr_RS.UTF-8@latin"),
              QList<QByteArray>({"sr_RS@latin", "sr_RS", "sr@latin", "sr"}));
    EXPECT_EQ(localeVariants("de.UTF-8"), QList<QByteArray>({"de"}));
    EXPECT_TRUE(localeVariants("C.UTF-8").isEmpty());
    EXPECT_TRUE(localeVariants("POSIX").isEmpty());

    const QByteArray data =
        "[Desktop Entry]\nName=Plain\nName[sr]=Opšte\nName[sr@latin]=Latinica\n"
        "Name[sr_RS]=Srbija\nIcon=plain\nIcon[sr]=icon-sr\n";
    const testing::EnvironmentGuard language("LANGUAGE", QByteArray());
    const testing::EnvironmentGuard all("LC_ALL", QByteArray());
    const testing::EnvironmentGuard messages("LC_MESSAGES", QByteArray());
    const auto nameFor = [&](const QByteArray& lang) {
        const testing::EnvironmentGuard guard("LANG", lang);
        return parseDesktopEntry(data)->name.value_or("absent");
    };
    EXPECT_EQ(nameFor("sr_RS.UTF-8@latin"), "Srbija");  // the territory outranks the modifier
    EXPECT_EQ(nameFor("sr_ME.UTF-8@latin"), "Latinica");
    EXPECT_EQ(nameFor("sr_RS.UTF-8"), "Srbija");
    EXPECT_EQ(nameFor("sr_ME.UTF-8"), "Opšte");
    EXPECT_EQ(nameFor("C.UTF-8"), "Plain");
    const testing::EnvironmentGuard guard("LANG", "sr_ME.UTF-8");
    EXPECT_EQ(parseDesktopEntry(data)->icon, "icon-sr");
}

TEST(DesktopEntryTest, RefusesWhatIsNotADesktopEntry) {
    static const char binary[] =
        "\x7f"
        "ELF\x02\x01\x01\0\0\0\0\0\0\0\x03\0>\0\x01\xff\xfe";
    const QByteArray cases[] = {QByteArray(binary, sizeof binary - 1),
                                "[Other Group]\nName=Foo\n",
                                "[Desktop Ent",
                                "",
                                "[Desktop Entry]\nName=Foo\nthis line has no equals sign\n",
                                "[Desktop Entry]\n" + QByteArray(kMaxDesktopEntryBytes, '#')};
    for (const QByteArray& data : cases) {
        QString problem;
        EXPECT_FALSE(parseDesktopEntry(data, &problem)) << data.left(40).toStdString();
        EXPECT_FALSE(problem.isEmpty());
    }

    testing::TemporaryTree tree;
    const QString fifo = tree.path("fifo.desktop");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {fifo, tree.makeFolder("folder.desktop")}) {
        QString problem;
        EXPECT_FALSE(readDesktopEntry(path, &problem)) << path.toStdString();
        EXPECT_EQ(problem, "not a regular file");
    }
}

}  // namespace
}  // namespace tessora
