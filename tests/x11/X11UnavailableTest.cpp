#include "core/TaskHandle.h"
#include "platform/UnavailableWindowSystem.h"
#include "platform/sim/VirtualClock.h"
#include "platform/x11/X11WindowSystem.h"
#include "tests/support/x11/XSession.h"

#include <gtest/gtest.h>
#include <QCoreApplication>

namespace tessora::testing {
namespace {

void expectInert(WindowSystem& system) {
    EXPECT_TRUE(system.runningApplications().isEmpty());
    EXPECT_TRUE(system.onScreenWindows().isEmpty());
    EXPECT_FALSE(system.frame(0x7ffffff0));
    EXPECT_FALSE(system.isAlive(0x7ffffff0));
    EXPECT_FALSE(system.frontmostApplicationId());
    system.setFrame(0x7ffffff0, {0, 0, 100, 100});
    system.setPosition(0x7ffffff0, 10, 10);
    system.raise(0x7ffffff0);
}

// Without a display there is no X11 backend at all, but a window system that says why.
TEST(X11Unavailable, NoDisplaySaysSo) {
    VirtualClock clock;
    X11Options options;
    options.display = ":4711";
    QString reason;
    EXPECT_FALSE(X11WindowSystem::open(clock, options, &reason));
    EXPECT_TRUE(reason.contains(QStringLiteral(":4711"))) << reason.toStdString();

    reason.clear();
    const std::unique_ptr<WindowSystem> system = X11WindowSystem::connect(&reason, clock, options);
    ASSERT_TRUE(system);
    EXPECT_TRUE(dynamic_cast<UnavailableWindowSystem*>(system.get()));
    EXPECT_TRUE(reason.contains(QStringLiteral(":4711"))) << reason.toStdString();
    QString said;
    EXPECT_FALSE(system->canControlWindows(&said));
    EXPECT_EQ(said, reason);
    EXPECT_TRUE(system->screens().isEmpty());
    EXPECT_FALSE(system->pointerLocation());
    expectInert(*system);
}

TEST(X11Unavailable, NoWindowManagerSaysSo) {
    XSession session;
    QString error;
    ASSERT_TRUE(session.start(&error, false)) << error.toStdString();
    VirtualClock clock;
    X11Options options;
    options.display = session.display();
    QString reason;
    const std::unique_ptr<X11WindowSystem> system = X11WindowSystem::open(clock, options, &reason);
    ASSERT_TRUE(system);
    EXPECT_FALSE(system->canControlWindows());
    EXPECT_TRUE(reason.contains(QStringLiteral("window manager"))) << reason.toStdString();
    // The display itself still answers.
    EXPECT_EQ(system->screens().size(), 1);
    EXPECT_TRUE(system->pointerLocation());
    expectInert(*system);
}

// Under XWayland the display answers and a window manager runs, but Wayland windows are out of
// reach: the session's environment says so.
TEST(X11Unavailable, AWaylandSessionSaysSo) {
    XSession session;
    QString error;
    ASSERT_TRUE(session.start(&error)) << error.toStdString();
    const QByteArray sessionType = qgetenv("XDG_SESSION_TYPE");
    const QByteArray waylandDisplay = qgetenv("WAYLAND_DISPLAY");
    const auto canControl = [&](const char* type, const char* wayland, QString* reason) {
        qputenv("XDG_SESSION_TYPE", type);
        qputenv("WAYLAND_DISPLAY", wayland);
        VirtualClock clock;
        X11Options options;
        options.display = session.display();
        const std::unique_ptr<X11WindowSystem> system = X11WindowSystem::open(clock, options);
        return system && system->canControlWindows(reason);
    };
    QString reason;
    EXPECT_FALSE(canControl("wayland", "", &reason));
    EXPECT_TRUE(reason.contains(QStringLiteral("Wayland session"))) << reason.toStdString();
    EXPECT_FALSE(canControl("x11", "wayland-0", &reason));
    EXPECT_TRUE(reason.contains(QStringLiteral("Wayland session"))) << reason.toStdString();
    EXPECT_TRUE(canControl("x11", "", &reason)) << reason.toStdString();
    EXPECT_TRUE(canControl("", "", &reason)) << reason.toStdString();
    qputenv("XDG_SESSION_TYPE", sessionType);
    qputenv("WAYLAND_DISPLAY", waylandDisplay);
}

TEST(X11Unavailable, TheServerGoingAwayIsAbsenceNotACrash) {
    XSession session;
    QString error;
    ASSERT_TRUE(session.start(&error)) << error.toStdString();
    VirtualClock clock;
    X11Options options;
    options.display = session.display();
    const std::unique_ptr<X11WindowSystem> system = X11WindowSystem::open(clock, options);
    ASSERT_TRUE(system && system->canControlWindows());

    session.killServer();
    QCoreApplication::processEvents();
    QString reason;
    EXPECT_FALSE(system->canControlWindows(&reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_TRUE(system->screens().isEmpty());
    EXPECT_FALSE(system->pointerLocation());
    EXPECT_FALSE(system->grabCycleKeys([](const KeyStroke&) {}));
    EXPECT_FALSE(system->grabOptionScroll({{0, 0, 100, 100}, {}}, [](const ScrollInput&) {}));
    EXPECT_FALSE(system->grabHotKey({keysym::escape, KeyModifier::Ctrl}, [] {}));
    EXPECT_FALSE(system->holdKeyboard([](const TypedKey&) {}));
    EXPECT_FALSE(system->watchButtonPresses([](QPointF) {}));
    expectInert(*system);
    auto launch =
        start(system->openApplication({"gone", "Gone", "/nowhere/gone.desktop", {}}, false));
    ASSERT_TRUE(launch.done());
    EXPECT_FALSE(launch.result().app);
    EXPECT_FALSE(launch.result().error.isEmpty());
}

}  // namespace
}  // namespace tessora::testing
