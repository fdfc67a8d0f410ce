// A scaled desktop: the backend counts points, X pixels divided by the device pixel ratio, in
// everything it reads and writes, so that the system's numbers hold as they are at any ratio.
#include "arrange/Placement.h"
#include "core/QtClock.h"
#include "core/TaskHandle.h"
#include "tests/x11/X11TestSession.h"
#include "workspace/WindowLayout.h"

#include <QEventLoop>
#include <QTimer>

namespace tessora::testing {
namespace {

class X11Points : public X11Test, public ::testing::WithParamInterface<double> {
protected:
    void SetUp() override {
        session.setScreenSize(2560, 1600);
        QString error;
        ASSERT_TRUE(session.start(&error)) << error.toStdString();
        pixelRatio = GetParam();
        connectBackend();
        X11Options plain;
        plain.display = session.display();
        pixels = X11WindowSystem::open(clock, plain);
        ASSERT_TRUE(pixels);
    }

    // What the plain backend (one point a pixel) reads of a window.
    std::optional<WindowRect> pixelFrame(xcb_window_t window) { return pixels->frame(window); }

    std::unique_ptr<X11WindowSystem> pixels;
};

TEST_P(X11Points, ScreensFramesAndThePointerAreInPoints) {
    const double ratio = GetParam();
    const QList<Screen> screens = system->screens();
    ASSERT_EQ(screens.size(), 1);
    EXPECT_EQ(screens.first().frame, (WindowRect{0, 0, 2560 / ratio, 1600 / ratio}));
    const WindowRect visible = pixels->screens().first().visibleFrame;
    EXPECT_EQ(screens.first().visibleFrame,
              (WindowRect{visible.x / ratio, visible.y / ratio, visible.width / ratio,
                          visible.height / ratio}));

    const xcb_window_t window = startClient({"--class", "scaled"});
    ASSERT_TRUE(waitManaged(window));
    const WindowRect target{100, 60, 600, 400};
    system->setFrame(window, target);
    EXPECT_TRUE(session.waitUntil([&] { return near(system->frame(window), target, 1); }))
        << describe(system->frame(window));
    EXPECT_TRUE(near(pixelFrame(window), {100 * ratio, 60 * ratio, 600 * ratio, 400 * ratio}, 1))
        << describe(pixelFrame(window));
    system->setPosition(window, 300, 200);
    EXPECT_TRUE(session.waitUntil([&] {
        return near(system->frame(window), {300, 200, 600, 400}, 1) &&
               near(pixelFrame(window), {300 * ratio, 200 * ratio, 600 * ratio, 400 * ratio}, 1);
    })) << describe(pixelFrame(window));

    session.movePointer(900, 600);
    const std::optional<QPointF> pointer = system->pointerLocation();
    ASSERT_TRUE(pointer);
    EXPECT_EQ(*pointer, QPointF(900 / ratio, 600 / ratio));
}

TEST_P(X11Points, ArrangedFramesAndTheirGapAreInPoints) {
    const double ratio = GetParam();
    InstalledApps apps;
    QList<xcb_window_t> windows;
    for (const char* id : {"left", "right"}) {
        apps << testApplication(id);
        windows << startClient({"--class", id});
        ASSERT_TRUE(waitManaged(windows.back()));
    }
    const WindowRect area = system->screens().first().visibleFrame;
    QtClock realClock;
    auto placing =
        start(placeWindows(*system, realClock, *layoutWithID("mirror"), apps, area, 24, {}));
    QEventLoop loop;
    QTimer guard;  // fails the test instead of hanging it
    guard.setSingleShot(true);
    guard.start(60'000);
    while (!placing.done() && guard.isActive()) {
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
    ASSERT_TRUE(placing.done());
    EXPECT_TRUE(placing.result().messages.isEmpty());

    const auto expected = frames(2, layoutWithID("mirror")->regions, area, 24);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(near(system->frame(windows[i]), expected[i], 1))
            << i << ": " << describe(system->frame(windows[i]));
    }
    const std::optional<WindowRect> left = pixelFrame(windows[0]);
    const std::optional<WindowRect> right = pixelFrame(windows[1]);
    ASSERT_TRUE(left && right);
    EXPECT_NEAR(right->x - left->maxX(), 24 * ratio, 2);
    EXPECT_NEAR(left->width, expected[0].width * ratio, 2);
}

INSTANTIATE_TEST_SUITE_P(Ratios, X11Points, ::testing::Values(1.0, 1.5, 2.0),
                         [](const ::testing::TestParamInfo<double>& param) {
                             return param.param == 1.0   ? std::string("One")
                                    : param.param == 1.5 ? std::string("OneAndAHalf")
                                                         : std::string("Two");
                         });

}  // namespace
}  // namespace tessora::testing
