#include "app/ShownRefresh.h"

#include "platform/sim/VirtualClock.h"

#include <gtest/gtest.h>
#include <QWidget>

namespace tessora {
namespace {

TEST(ShownRefreshTest, ReadsWhenShownAndEverySecondOnlyWhileShown) {
    VirtualClock clock;
    QWidget widget;
    int reads = 0;
    ShownRefresh refresh(widget, clock, [&] { ++reads; });
    clock.advance(std::chrono::seconds(5));
    EXPECT_EQ(reads, 0);
    EXPECT_FALSE(refresh.ticking());

    widget.show();
    EXPECT_EQ(reads, 1);
    clock.advance(std::chrono::milliseconds(2500));
    EXPECT_EQ(reads, 3);

    widget.hide();
    EXPECT_FALSE(refresh.ticking());  // a closed window never wakes the process
    clock.advance(std::chrono::seconds(5));
    EXPECT_EQ(reads, 3);

    widget.show();
    EXPECT_EQ(reads, 4);
    EXPECT_TRUE(refresh.ticking());
}

}  // namespace
}  // namespace tessora
