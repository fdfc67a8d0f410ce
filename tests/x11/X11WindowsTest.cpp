#include "platform/x11/X11Connection.h"
#include "tests/x11/X11TestSession.h"

namespace tessora::testing {
namespace {

using X11Windows = X11Test;

TEST_F(X11Windows, FrameIncludesDecorationsAndWritesReadBack) {
    const xcb_window_t window = startClient({"--size", "400x300"});
    ASSERT_NE(window, XCB_WINDOW_NONE);
    ASSERT_TRUE(waitManaged(window));

    // openbox decorates: the frame is larger than the client.
    const std::optional<WindowRect> before = system->frame(window);
    ASSERT_TRUE(before);
    EXPECT_GT(before->height, 300);
    EXPECT_GE(before->width, 400);

    const WindowRect target{100, 80, 640, 480};
    system->setFrame(window, target);
    EXPECT_TRUE(session.waitUntil([&] { return near(system->frame(window), target); }))
        << describe(system->frame(window));

    system->setPosition(window, 20, 30);
    const WindowRect moved{20, 30, 640, 480};
    EXPECT_TRUE(session.waitUntil([&] { return near(system->frame(window), moved); }))
        << describe(system->frame(window));
}

TEST_F(X11Windows, UndecoratedFrameIsTheClient) {
    const xcb_window_t window = startClient({"--size", "400x300", "--undecorated"});
    ASSERT_TRUE(waitManaged(window));
    EXPECT_TRUE(session.waitUntil([&] {
        const auto f = system->frame(window);
        return f && f->width == 400 && f->height == 300;
    })) << describe(system->frame(window));

    const WindowRect target{200, 100, 500, 350};
    system->setFrame(window, target);
    EXPECT_TRUE(session.waitUntil([&] { return near(system->frame(window), target, 0); }))
        << describe(system->frame(window));
}

TEST_F(X11Windows, MinimumSizeAndIncrementsAreKept) {
    const xcb_window_t small = startClient({"--size", "400x300", "--min-size", "300x250"});
    const xcb_window_t stepped = startClient({"--size", "400x300", "--increments", "10x20"});
    ASSERT_TRUE(waitManaged(small));
    ASSERT_TRUE(waitManaged(stepped));

    system->setFrame(small, {10, 10, 100, 100});
    EXPECT_TRUE(session.waitUntil([&] {
        const auto f = system->frame(small);
        return f && std::abs(f->x - 10) <= 6 && f->width >= 300 && f->height >= 250;
    }));

    // Like xterm asked for 500x300: the client's size is rounded down to whole steps.
    const WindowRect before = *system->frame(stepped);
    system->setFrame(stepped, {0, 0, 505 + before.width - 400, 317 + before.height - 300});
    EXPECT_TRUE(session.waitUntil([&] {
        const auto f = system->frame(stepped);
        return f && std::abs(f->width - (500 + before.width - 400)) < 1 &&
               std::abs(f->height - (300 + before.height - 300)) < 1;
    })) << describe(system->frame(stepped));
}

TEST_F(X11Windows, KindsAndStates) {
    const xcb_window_t normal = startClient({"--title", "normal"});
    const xcb_window_t dialog = startClient({"--dialog"});
    ASSERT_TRUE(waitManaged(normal));
    ASSERT_TRUE(waitManaged(dialog));

    EXPECT_EQ(system->isStandardWindow(normal), true);
    EXPECT_EQ(system->isStandardWindow(dialog), false);
    EXPECT_EQ(system->isMinimized(normal), false);
    EXPECT_EQ(system->isFullScreen(normal), false);

    session.minimize(normal);
    EXPECT_TRUE(session.waitUntil([&] { return system->isMinimized(normal) == true; }));
    session.setFullScreen(dialog);
    EXPECT_TRUE(session.waitUntil([&] { return system->isFullScreen(dialog) == true; }));

    // A window that never existed, or no longer exists, is absent everywhere.
    EXPECT_FALSE(system->isStandardWindow(0x7ffffff0));
    EXPECT_FALSE(system->frame(0x7ffffff0));
    EXPECT_FALSE(system->isAlive(0x7ffffff0));
    EXPECT_TRUE(system->isAlive(normal));
}

TEST_F(X11Windows, OnScreenWindowsAreTheCurrentDesktopsFrontToBack) {
    const xcb_window_t first = startClient({"--title", "first"});
    const xcb_window_t second = startClient({"--title", "second"});
    const xcb_window_t elsewhere = startClient({"--title", "elsewhere"});
    for (const xcb_window_t w : {first, second, elsewhere}) {
        ASSERT_TRUE(waitManaged(w));
    }
    session.moveToDesktop(elsewhere, 1);
    system->raise(first);

    auto order = [&] {
        QList<WindowId> ids;
        for (const OnScreenWindow& w : system->onScreenWindows()) {
            ids << w.window;
        }
        return ids;
    };
    EXPECT_TRUE(session.waitUntil([&] {
        return order() == QList<WindowId>{first, second};
    })) << order().size();

    const QList<OnScreenWindow> shown = system->onScreenWindows();
    ASSERT_FALSE(shown.isEmpty());
    const OnScreenWindow front = shown.front();
    EXPECT_GT(front.pid, 0);
    EXPECT_EQ(front.appId, QStringLiteral("TessoraTestClient"));
    EXPECT_TRUE(front.normalLayer);
    EXPECT_TRUE(near(front.frame, *system->frame(first), 0));

    // On the other desktop only the window moved there shows.
    int desktopChanges = 0;
    QObject::connect(system.get(), &WindowSystem::currentDesktopChanged, [&] { ++desktopChanges; });
    session.switchToDesktop(1);
    EXPECT_TRUE(session.waitUntil([&] {
        QCoreApplication::processEvents();
        return desktopChanges > 0 && order() == QList<WindowId>{elsewhere};
    })) << order().size();
}

// One reading tells of every window at once, whether on screen or not, and which is active:
// one wait for the root window's lists, one for the windows.
TEST_F(X11Windows, TheWindowListTellsOfEveryWindowInOneReading) {
    const xcb_window_t shown = startClient({"--title", "shown"});
    const xcb_window_t minimized = startClient({"--title", "minimized"});
    const xcb_window_t elsewhere = startClient({"--title", "elsewhere"});
    for (const xcb_window_t w : {shown, minimized, elsewhere}) {
        ASSERT_TRUE(waitManaged(w));
    }
    session.minimize(minimized);
    session.moveToDesktop(elsewhere, 1);
    session.activate(shown);
    auto onScreen = [](const WindowListing& listing, xcb_window_t window) {
        const ListedWindow* entry = listing.find(window);
        return entry ? std::optional(entry->onScreen) : std::nullopt;
    };
    ASSERT_TRUE(session.waitUntil([&] {
        const std::optional<WindowListing> listing = system->listWindows();
        return listing && listing->active == WindowId{shown} && onScreen(*listing, shown) == true &&
               onScreen(*listing, minimized) == false && onScreen(*listing, elsewhere) == false;
    }));

    const x11::Traffic before = system->traffic();
    const std::optional<WindowListing> listing = system->listWindows();
    EXPECT_EQ(system->traffic().roundTrips - before.roundTrips, 2u);
    ASSERT_TRUE(listing);
    ASSERT_TRUE(listing->find(shown));
    const ListedWindow entry = *listing->find(shown);
    EXPECT_TRUE(entry.onScreen);
    EXPECT_TRUE(entry.normalLayer);
    EXPECT_GT(entry.pid, 0);
    EXPECT_EQ(entry.appId, QStringLiteral("TessoraTestClient"));
    EXPECT_TRUE(near(entry.frame, *system->frame(shown), 0));
    EXPECT_EQ(listing->find(minimized)->appId, QStringLiteral("TessoraTestClient"));
    EXPECT_FALSE(listing->find(0x7ffffff0));
}

// Window managers that leave the stacking list out (xfwm4 while a single window exists) or
// behind: the client list says which windows are managed, the stacking list orders what it has.
TEST_F(X11Windows, TheClientListStandsInWhereTheStackingListFallsShort) {
    const xcb_window_t lower = startClient({"--title", "lower"});
    const xcb_window_t upper = startClient({"--title", "upper"});
    ASSERT_TRUE(waitManaged(lower));
    ASSERT_TRUE(waitManaged(upper));
    const std::optional<RunningApplication> app =
        system->runningApplication(QStringLiteral("TessoraTestClient"));
    ASSERT_TRUE(app);
    xcb_connection_t* c = session.connection();
    const xcb_atom_t stackingList = session.atom("_NET_CLIENT_LIST_STACKING");
    auto order = [&] {
        QList<WindowId> ids;
        for (const OnScreenWindow& w : system->onScreenWindows()) {
            ids << w.window;
        }
        return ids;
    };

    // Gone: every managed window is still listed.
    xcb_delete_property(c, session.root(), stackingList);
    session.sync();
    const std::optional<WindowListing> listing = system->listWindows();
    ASSERT_TRUE(listing);
    EXPECT_TRUE(listing->find(lower) && listing->find(upper));
    EXPECT_EQ(order().size(), 2);
    EXPECT_TRUE(system->mainWindow(*app).has_value());

    // Short: what it lists keeps its place, the rest goes on top. (The window manager rewrites
    // the list at its next restack; nothing here restacks.)
    const uint32_t onlyUpper[] = {upper};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, session.root(), stackingList, XCB_ATOM_WINDOW, 32,
                        1, onlyUpper);
    session.sync();
    EXPECT_EQ(order(), (QList<WindowId>{lower, upper}));
    EXPECT_EQ(system->mainWindow(*app), WindowId{lower});
}

TEST_F(X11Windows, FocusActivatesAndRaises) {
    const xcb_window_t first = startClient({"--title", "first"});
    const xcb_window_t second = startClient({"--title", "second"});
    ASSERT_TRUE(waitManaged(first));
    ASSERT_TRUE(waitManaged(second));
    const std::optional<RunningApplication> app =
        system->runningApplication(QStringLiteral("TessoraTestClient"));
    ASSERT_TRUE(app);

    int activations = 0;
    QObject::connect(system.get(), &WindowSystem::activeWindowChanged, [&] { ++activations; });
    system->focus(*app, first);
    EXPECT_TRUE(session.waitUntil([&] {
        QCoreApplication::processEvents();
        return system->focusedWindow(*app) == WindowId{first} &&
               system->onScreenWindows().value(0).window == first;
    }));
    EXPECT_GT(activations, 0);
    EXPECT_EQ(system->mainWindow(*app), WindowId{first});
    EXPECT_EQ(system->frontmostApplicationId(), QStringLiteral("TessoraTestClient"));
}

TEST_F(X11Windows, WindowsDestroyedWhileReadingAreAbsentNotFatal) {
    // Another client creates and destroys windows as fast as it can while the backend reads
    // them: every read either succeeds or is absent.
    xcb_connection_t* other = session.connection();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(other)).data;
    int absent = 0;
    for (int round = 0; round < 1000; ++round) {
        const xcb_window_t w = xcb_generate_id(other);
        xcb_create_window(other, XCB_COPY_FROM_PARENT, w, screen->root, 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_flush(other);
        const bool exists = system->frame(w).has_value();
        xcb_destroy_window(other, w);
        xcb_flush(other);
        absent += system->isMinimized(w).has_value() ? 0 : 1;
        absent += exists ? 0 : 1;
        system->onScreenWindows();
    }
    session.sync();
    EXPECT_GT(absent, 0);
    EXPECT_TRUE(system->canControlWindows());
}

}  // namespace
}  // namespace tessora::testing
