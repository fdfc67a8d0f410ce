// The main job end to end, by keyboard, as a user does it: the shortcut, a few letters, Tab,
// again, Ctrl+2, a layout's name, Tab; two real applications open and end up side by side.
#include "tests/support/x11/ResidentApp.h"
#include "tests/x11/X11TestSession.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <cstdlib>

namespace tessora::testing {
namespace {

class LauncherEndToEndTest : public X11Test {
protected:
    // xdotool, as the user's hands.
    void xdotool(const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(session.display()));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral("xdotool"), arguments);
        ASSERT_TRUE(process.waitForFinished(20000));
        ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    }

    QByteArray windowClass(WindowId window) {
        return session.bytes(static_cast<xcb_window_t>(window), XCB_ATOM_WM_CLASS);
    }

    std::optional<WindowRect> frameOfClass(const QByteArray& name) {
        for (const OnScreenWindow& window : system->onScreenWindows()) {
            if (windowClass(window.window).contains(name)) {
                return system->frame(window.window);
            }
        }
        return std::nullopt;
    }
};

TEST_F(LauncherEndToEndTest, ShortcutTypingTabAndALayoutArrangeTwoApplications) {
    ResidentApp app(session, QStringLiteral(TESSORA_PROGRAM_PATH));
    for (const QString& name : {QStringLiteral("Alpha Notes"), QStringLiteral("Beta Sketch")}) {
        QString wmClass = name;
        wmClass.remove(QLatin1Char(' '));
        app.writeDesktopEntry(wmClass.toLower(),
                              QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\n"
                                             "Exec=%2 --class %3\nStartupWMClass=%3\n")
                                  .arg(name, XSession::testClientPath(), wmClass)
                                  .toUtf8());
    }
    QString error;
    ASSERT_TRUE(app.start(&error)) << error.toStdString();

    // Typed straight after the shortcut, without waiting for the panel: nothing may be lost.
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+Escape")});
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("15"),
             QStringLiteral("alpha")});
    xdotool({QStringLiteral("key"), QStringLiteral("Tab")});
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("15"),
             QStringLiteral("beta")});
    xdotool({QStringLiteral("key"), QStringLiteral("Tab"), QStringLiteral("ctrl+2")});
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("15"),
             QStringLiteral("mirror")});
    xdotool({QStringLiteral("key"), QStringLiteral("Tab")});

    // Mirror without spacing: the two halves of the screen's work area (the whole 1280 x 800
    // screen, less any panel the window manager keeps, as fluxbox's and icewm's bars).
    const WindowRect area = system->screens().first().visibleFrame;
    const WindowRect left{area.x, area.y, area.width / 2, area.height};
    const WindowRect right{area.x + area.width / 2, area.y, area.width / 2, area.height};
    EXPECT_TRUE(session.waitUntil([&] {
        return near(frameOfClass("AlphaNotes"), left, 12) &&
               near(frameOfClass("BetaSketch"), right, 12);
    })) << "alpha "
        << describe(frameOfClass("AlphaNotes")) << ", beta " << describe(frameOfClass("BetaSketch"))
        << "\n"
        << app.errors().toStdString();
    EXPECT_TRUE(app.waitPanelHidden());
}

}  // namespace
}  // namespace tessora::testing
