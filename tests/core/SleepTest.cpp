#include "core/Sleep.h"
#include "core/Task.h"
#include "core/TaskHandle.h"
#include "platform/sim/VirtualClock.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace tessora;

namespace {

// The shape of the window polls: a bounded number of waits. Returns how many ran in full.
Task<int> pollLoop(Clock& clock, Clock::Duration interval, int maxPolls, std::stop_token stop) {
    int polls = 0;
    while (polls < maxPolls) {
        if (!co_await sleepFor(clock, interval, stop)) {
            break;
        }
        ++polls;
    }
    co_return polls;
}

}  // namespace

TEST(SleepTest, PollLoopTakesExactlyItsVirtualTime) {
    VirtualClock clock;
    auto polling = start(pollLoop(clock, 300ms, 50, {}));
    EXPECT_TRUE(clock.runUntil([&] { return polling.done(); }, 1min));
    EXPECT_EQ(clock.now(), 15s);
    EXPECT_EQ(polling.result(), 50);
}

TEST(SleepTest, StopDuringASleepEndsItEarlyFromAClockCallback) {
    VirtualClock clock;
    std::stop_source stop;
    auto polling = start(pollLoop(clock, 300ms, 50, stop.get_token()));
    clock.advance(1s);  // three polls, into the fourth sleep

    stop.request_stop();
    EXPECT_FALSE(polling.done());                           // not resumed inside request_stop()
    EXPECT_EQ(clock.nextDeadline(), Clock::TimePoint(1s));  // but by a zero-delay hop
    clock.runNext();
    ASSERT_TRUE(polling.done());
    EXPECT_EQ(polling.result(), 3);
    EXPECT_EQ(clock.now(), 1s);
    EXPECT_EQ(clock.pending(), 0u);  // the sleep's own timer is gone for good

    auto stoppedBefore = start(pollLoop(clock, 10s, 1, stop.get_token()));
    ASSERT_TRUE(stoppedBefore.done());  // without suspending at all
    EXPECT_EQ(stoppedBefore.result(), 0);
    EXPECT_EQ(clock.pending(), 0u);
}
