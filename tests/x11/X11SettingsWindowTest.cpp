// The settings window as the window manager sees it: the real program on Xvfb, its first run
// walked by keyboard with XTEST, and the size hints, Motif hints and real geometry read from
// the server in each mode.
#include "tests/support/x11/ResidentApp.h"
#include "tests/support/x11/XSession.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>

namespace tessora::testing {
namespace {

constexpr uint32_t kReturn = 0xff0d;
constexpr uint32_t kTab = 0xff09;
constexpr uint32_t kLetterC = 0x0063;
constexpr uint32_t kControlL = 0xffe3;
constexpr uint32_t kShiftL = 0xffe1;
// _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status.
constexpr uint32_t kMotifFunctions = 1u << 0;
constexpr uint32_t kMotifMaximize = 1u << 4;

struct SizeLimits {
    QSize minimum;
    QSize maximum;
};

class SettingsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(session.start(&error)) << error.toStdString();
    }

    // WM_NORMAL_HINTS: flags, x, y, width, height, min w/h, max w/h, ...
    SizeLimits limits(xcb_window_t window) {
        const std::vector<uint32_t> hints = session.cardinals(window, "WM_NORMAL_HINTS");
        if (hints.size() < 9) {
            return {};
        }
        const bool hasMinimum = hints[0] & (1u << 4);
        const bool hasMaximum = hints[0] & (1u << 5);
        return {hasMinimum ? QSize(int(hints[5]), int(hints[6])) : QSize(),
                hasMaximum ? QSize(int(hints[7]), int(hints[8])) : QSize()};
    }

    bool maximizeAllowed(xcb_window_t window) {
        const std::vector<uint32_t> motif = session.cardinals(window, "_MOTIF_WM_HINTS");
        return motif.size() < 2 || !(motif[0] & kMotifFunctions) || (motif[1] & kMotifMaximize);
    }

    xcb_window_t inputFocus() {
        xcb_connection_t* c = session.connection();
        xcb_get_input_focus_reply_t* focus =
            xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
        const xcb_window_t result = focus ? focus->focus : XCB_NONE;
        std::free(focus);
        return result;
    }

    // The pixels of a part of the window, as they are on the screen.
    QByteArray pixels(xcb_window_t window, const QRect& area) {
        xcb_connection_t* c = session.connection();
        xcb_get_image_reply_t* image = xcb_get_image_reply(
            c,
            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, int16_t(area.x()),
                          int16_t(area.y()), uint16_t(area.width()), uint16_t(area.height()), ~0u),
            nullptr);
        QByteArray result;
        if (image) {
            result = QByteArray(reinterpret_cast<const char*>(xcb_get_image_data(image)),
                                xcb_get_image_data_length(image));
        }
        std::free(image);
        return result;
    }

    // Whether anything is drawn there: not every pixel alike.
    static bool drawn(const QByteArray& pixels) {
        for (qsizetype i = 4; i + 4 <= pixels.size(); i += 4) {
            if (pixels.mid(i, 4) != pixels.left(4)) {
                return true;
            }
        }
        return false;
    }

    QSize size(xcb_window_t window) {
        xcb_connection_t* c = session.connection();
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
        const QSize result = geometry ? QSize(geometry->width, geometry->height) : QSize();
        std::free(geometry);
        return result;
    }

    QJsonObject settings(ResidentApp& app) {
        QFile file(app.configHome() + "/tessora/settings.json");
        return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object()
                                              : QJsonObject();
    }

    XSession session;
};

TEST_F(SettingsWindowTest, TheFirstRunIsFixedInSizeAndTheWindowGrowsOnceItIsWalkedByKeyboard) {
    ResidentApp app(session, TESSORA_PROGRAM_PATH);
    app.writeSettings("{}");  // a new user
    QString error;
    ASSERT_TRUE(app.start(&error)) << error.toStdString();
    std::optional<xcb_window_t> window;
    ASSERT_TRUE(session.waitUntil([&] { return (window = app.windowWithRole("settings")) &&
                                               size(*window) == QSize(700, 620); }));
    EXPECT_EQ(limits(*window).minimum, QSize(700, 620));
    EXPECT_EQ(limits(*window).maximum, QSize(700, 620));
    EXPECT_FALSE(maximizeAllowed(*window));

    // Continue, the three practice keys (the hot key among them), Continue, and finish.
    // Keys go where the X focus is; the program sees its focus arrive before any of them.
    ASSERT_TRUE(session.waitUntil([&] { return inputFocus() == *window; }));
    // The hot key comes on another connection than the typed keys, so the test goes on as a
    // person does, once the window shows what the last key did: the step bars at the top, the
    // Continue button at the bottom.
    const QRect bars(0, 0, 700, 60);
    const QRect footer(0, 540, 700, 80);
    QByteArray before;
    ASSERT_TRUE(session.waitUntil([&] { return drawn(before = pixels(*window, bars)); }));
    app.tapKey(kReturn, {kControlL});
    ASSERT_TRUE(session.waitUntil([&] { return pixels(*window, bars) != before; }));
    before = pixels(*window, footer);
    app.pressShortcut();
    app.tapKey(kTab);
    app.tapKey(kLetterC, {kControlL, kShiftL});
    ASSERT_TRUE(session.waitUntil([&] { return pixels(*window, footer) != before; }));
    before = pixels(*window, bars);
    app.tapKey(kReturn, {kControlL});
    ASSERT_TRUE(session.waitUntil([&] { return pixels(*window, bars) != before; }));
    app.tapKey(kReturn, {kControlL});
    ASSERT_TRUE(session.waitUntil([&] { return settings(app).contains("onboardingComplete"); }))
        << app.errors().toStdString();
    EXPECT_EQ(settings(app)["onboardingComplete"].toBool(), true);
    EXPECT_EQ(settings(app)["onboardingVersion"].toInt(), 1);

    // The preferences: 791 wide for good, at least 480 high, and maximizing allowed. The
    // window manager may resize the window before the last of the new limits reaches it.
    ASSERT_TRUE(session.waitUntil([&] {
        return size(*window) == QSize(791, 620) && limits(*window).maximum.width() == 791;
    })) << size(*window).width() << "x" << size(*window).height();
    EXPECT_EQ(limits(*window).minimum, QSize(791, 480));
    EXPECT_EQ(limits(*window).maximum.width(), 791);
    EXPECT_TRUE(maximizeAllowed(*window));
    EXPECT_FALSE(app.panelShown());
}

}  // namespace
}  // namespace tessora::testing
