// The record of the frame requests sent to the window manager, without a server: what counts
// as asking again, and what makes the backend ask again after all.
#include "platform/x11/X11FrameRequests.h"

#include <gtest/gtest.h>

namespace tessora::x11 {
namespace {

constexpr xcb_window_t kWindow = 0x400001;

// A window read once: decorated with 1-pixel borders and a 20-pixel title bar, its client at
// (101, 120) 400 × 300.
class FrameRequestsTest : public ::testing::Test {
protected:
    FrameRequestsTest() { requests.read(kWindow, client, frameAround(client), true); }

    static QRect frameAround(const QRect& client) { return client.marginsAdded({1, 20, 1, 1}); }
    // Where the client lands when its frame's corner is put at `origin`.
    static QRect clientAt(QPoint origin, QSize size) { return QRect(origin + QPoint(1, 20), size); }

    const QRect client{101, 120, 400, 300};
    FrameRequests requests;
};

TEST_F(FrameRequestsTest, OnlyTheSameStandingRequestRepeats) {
    EXPECT_EQ(requests.extents(kWindow), QMargins(1, 20, 1, 1));
    const FrameRequest frame{{0, 0}, QSize(640, 480)};
    EXPECT_FALSE(requests.repeats(kWindow, frame));
    EXPECT_TRUE(requests.sent(kWindow, frame));  // the first write: watch the window
    EXPECT_TRUE(requests.repeats(kWindow, frame));
    EXPECT_FALSE(requests.repeats(kWindow, {{0, 0}, QSize(640, 481)}));
    EXPECT_FALSE(requests.repeats(kWindow, {{1, 0}, std::nullopt}));
    // A move to where the last request put the frame asks nothing new.
    EXPECT_TRUE(requests.repeats(kWindow, {{0, 0}, std::nullopt}));

    // A move keeps the size asked before while that request stands...
    EXPECT_FALSE(requests.sent(kWindow, {{50, 0}, std::nullopt}));
    EXPECT_TRUE(requests.repeats(kWindow, {{50, 0}, QSize(640, 480)}));
    // ...and not once it lapsed: the user may have resized the window.
    requests.configured(kWindow, clientAt({50, 0}, {700, 480}), true);
    requests.sent(kWindow, {{60, 0}, std::nullopt});
    EXPECT_TRUE(requests.repeats(kWindow, {{60, 0}, std::nullopt}));
    EXPECT_FALSE(requests.repeats(kWindow, {{60, 0}, QSize(640, 480)}));
}

// The window manager's word, by a read or a ConfigureNotify: the request stands while the
// window is where it put it, and lapses as soon as anything says otherwise.
TEST_F(FrameRequestsTest, WhereTheWindowIsSaidToBeDecidesWhetherTheRequestStands) {
    const FrameRequest frame{{200, 100}, QSize(500, 400)};
    const QRect asked = clientAt({200, 100}, {500, 400});
    requests.sent(kWindow, frame);
    requests.configured(kWindow, asked, true);  // synthetic: root space
    requests.read(kWindow, asked, frameAround(asked), true);
    EXPECT_TRUE(requests.repeats(kWindow, frame));
    // A real event of the reparented client is relative to its frame: only its size tells.
    requests.configured(kWindow, QRect(1, 20, 500, 400), false);
    EXPECT_TRUE(requests.repeats(kWindow, frame));
    requests.configured(kWindow, QRect(1, 20, 500, 380), false);
    EXPECT_FALSE(requests.repeats(kWindow, frame));

    // Events never bring a request back, a read that finds the window in place does.
    requests.configured(kWindow, asked, true);
    EXPECT_FALSE(requests.repeats(kWindow, frame));
    requests.read(kWindow, asked, frameAround(asked), true);
    EXPECT_TRUE(requests.repeats(kWindow, frame));

    // Rounded to the client's size increments; dragged away by the user; read back anywhere
    // else (not taken yet, clamped, moved).
    for (const QRect& elsewhere :
         {clientAt({200, 100}, {496, 390}), clientAt({260, 100}, {500, 400})}) {
        requests.sent(kWindow, frame);
        requests.configured(kWindow, elsewhere, true);
        EXPECT_FALSE(requests.repeats(kWindow, frame));
    }
    requests.sent(kWindow, frame);
    requests.read(kWindow, client, frameAround(client), true);
    EXPECT_FALSE(requests.repeats(kWindow, frame));
}

TEST_F(FrameRequestsTest, ChangedDecorationsUnmappingAndGoingMakeTheRequestLapse) {
    const FrameRequest frame{{200, 100}, QSize(500, 400)};
    requests.sent(kWindow, frame);
    requests.decorationsChanged(kWindow);
    EXPECT_FALSE(requests.extents(kWindow));
    EXPECT_FALSE(requests.repeats(kWindow, frame));

    requests.read(kWindow, client, frameAround(client), true);
    requests.sent(kWindow, frame);
    requests.reparented(kWindow, true);
    EXPECT_FALSE(requests.repeats(kWindow, frame));
    // Without decorations known, nothing places the client: a real event in root space
    // (the parent is the root now) that looks right still does not confirm.
    requests.sent(kWindow, frame);
    requests.configured(kWindow, QRect(200, 100, 500, 400), false);
    EXPECT_FALSE(requests.repeats(kWindow, frame));

    requests.read(kWindow, client, frameAround(client), true);
    requests.sent(kWindow, frame);
    requests.unmapped(kWindow);
    EXPECT_FALSE(requests.repeats(kWindow, frame));

    requests.sent(kWindow, frame);
    requests.keepOnly({kWindow + 1});
    EXPECT_FALSE(requests.knows(kWindow));
    EXPECT_FALSE(requests.repeats(kWindow, frame));
    // Written again after it was forgotten: watched again.
    EXPECT_TRUE(requests.sent(kWindow, frame));
}

// A move carries the client's size: known from the last read or request until an event shows
// another one.
TEST_F(FrameRequestsTest, TheClientsSizeIsKnownUntilAnEventShowsAnother) {
    EXPECT_EQ(requests.size(kWindow), QSize(400, 300));

    requests.sent(kWindow, {{0, 0}, QSize(640, 480)});
    EXPECT_EQ(requests.size(kWindow), QSize(640, 480));
    requests.sent(kWindow, {{50, 0}, std::nullopt});
    requests.configured(kWindow, QRect(1, 20, 640, 480), false);
    EXPECT_EQ(requests.size(kWindow), QSize(640, 480));
    // Rounded to its increments, or an event older than the request: a read must tell.
    requests.configured(kWindow, clientAt({50, 0}, {636, 476}), true);
    EXPECT_FALSE(requests.size(kWindow));
    requests.read(kWindow, clientAt({50, 0}, {636, 476}),
                  frameAround(clientAt({50, 0}, {636, 476})), true);
    EXPECT_EQ(requests.size(kWindow), QSize(636, 476));

    // Minimized, it keeps its frame: size and decorations stay known. Whether the window
    // manager unmapped the client decides how it is shown again.
    EXPECT_FALSE(requests.isUnmapped(kWindow));
    requests.unmapped(kWindow);
    EXPECT_TRUE(requests.isUnmapped(kWindow));
    EXPECT_EQ(requests.size(kWindow), QSize(636, 476));
    EXPECT_EQ(requests.extents(kWindow), QMargins(1, 20, 1, 1));
    requests.mapped(kWindow);
    EXPECT_FALSE(requests.isUnmapped(kWindow));
    requests.reparented(kWindow, true);
    EXPECT_FALSE(requests.size(kWindow));
}

}  // namespace
}  // namespace tessora::x11
