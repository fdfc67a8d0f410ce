#include "platform/AutostartLoginItem.h"

#include "platform/DesktopEntry.h"
#include "platform/DesktopExec.h"
#include "tests/support/TemporaryTree.h"

#include <gtest/gtest.h>
#include <QFile>
#include <cstring>

#include <unistd.h>

namespace tessora {
namespace {

class AutostartLoginItemTest : public ::testing::Test {
protected:
    AutostartLoginItem item(const QString& program = QStringLiteral("/usr/bin/tessora")) {
        return AutostartLoginItem(tree.path("home"), {tree.path("etc1"), tree.path("etc2")},
                                  program);
    }
    QString systemEntry(const QString& folder, const QByteArray& extra = {}) {
        return tree.write(
            folder + "/autostart/org.tessora.Tessora.desktop",
            "[Desktop Entry]\nType=Application\nName=Tessora\nExec=tessora\n" + extra);
    }

    testing::TemporaryTree tree;
};

TEST_F(AutostartLoginItemTest, RegisteringWritesAnEntryThatStartsThisVeryProgram) {
    // A path with characters the Exec rules reserve comes back whole.
    const QString program = QStringLiteral("/opt/my apps/te$sora \"100%\"/tessora");
    AutostartLoginItem login = item(program);
    EXPECT_FALSE(login.enabled());

    EXPECT_EQ(login.setEnabled(true), QString());
    EXPECT_TRUE(login.enabled());
    const std::optional<DesktopEntry> entry = readDesktopEntry(login.userEntryPath());
    ASSERT_TRUE(entry);
    EXPECT_EQ(execCommandLine(*entry, login.userEntryPath()), QStringList{program});

    EXPECT_EQ(login.setEnabled(false), QString());
    EXPECT_FALSE(login.enabled());
    EXPECT_FALSE(QFile::exists(login.userEntryPath()));
    EXPECT_EQ(login.setEnabled(false), QString());  // nothing there to remove is no failure
}

TEST_F(AutostartLoginItemTest, TheFirstEntryOfTheNameDecidesAndASystemEntryIsMasked) {
    AutostartLoginItem login = item();
    systemEntry("etc2", "X-GNOME-Autostart-enabled=false\n");
    EXPECT_FALSE(login.enabled());
    systemEntry("etc1");  // comes first, and starts the program
    EXPECT_TRUE(login.enabled());

    EXPECT_EQ(login.setEnabled(false), QString());
    EXPECT_FALSE(login.enabled());
    const std::optional<DesktopEntry> mask = readDesktopEntry(login.userEntryPath());
    ASSERT_TRUE(mask);
    EXPECT_TRUE(mask->hidden);

    EXPECT_EQ(login.setEnabled(true), QString());
    EXPECT_TRUE(login.enabled());
    EXPECT_FALSE(readDesktopEntry(login.userEntryPath())->hidden);
}

TEST_F(AutostartLoginItemTest, AFolderThatCannotBeWrittenGivesTheSystemsReason) {
    AutostartLoginItem login = item();
    tree.write("home/autostart", "a file where the folder should be");
    const QString problem = login.setEnabled(true);
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_TRUE(problem.contains(QString::fromLocal8Bit(std::strerror(ENOTDIR))) ||
                problem.contains(QString::fromLocal8Bit(std::strerror(EEXIST))))
        << problem.toStdString();
    EXPECT_FALSE(login.enabled());

    if (::geteuid() != 0) {  // permissions do not stop root
        AutostartLoginItem readOnly(tree.makeFolder("locked"), {}, "/usr/bin/tessora");
        tree.makeFolder("locked/autostart");
        tree.makeUnreadable("locked/autostart");
        EXPECT_TRUE(
            readOnly.setEnabled(true).contains(QString::fromLocal8Bit(std::strerror(EACCES))));
        EXPECT_FALSE(readOnly.enabled());
    }
}

}  // namespace
}  // namespace tessora
