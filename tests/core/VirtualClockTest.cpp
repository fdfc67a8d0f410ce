#include "platform/sim/VirtualClock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::chrono_literals;
using tessora::VirtualClock;

TEST(VirtualClockTest, AdvanceRunsDueCallbacksInOrderIncludingNewOnes) {
    VirtualClock clock;
    std::vector<std::pair<std::string, VirtualClock::TimePoint>> fired;
    auto record = [&](std::string name) {
        return [&fired, &clock, name] { fired.emplace_back(name, clock.now()); };
    };
    clock.schedule(2s, record("c"));
    clock.schedule(1s, record("a"));
    VirtualClock::TimerId self = 0;
    self = clock.schedule(1s, [&] {
        record("b")();
        clock.cancel(self);  // itself, while running: a no-op
        clock.schedule(500ms, record("inside window"));
        clock.schedule(0s, record("same time"));
        clock.schedule(5s, record("beyond window"));
    });
    clock.cancel(clock.schedule(1500ms, record("cancelled")));
    clock.cancel(12345);

    clock.advance(2s);

    const decltype(fired) expected{
        {"a", 1s}, {"b", 1s}, {"same time", 1s}, {"inside window", 1500ms}, {"c", 2s}};
    EXPECT_EQ(fired, expected);
    EXPECT_EQ(clock.now(), 2s);
    EXPECT_EQ(clock.nextDeadline(), VirtualClock::TimePoint(6s));
}

TEST(VirtualClockTest, RunHelpersStopAtTheirBounds) {
    VirtualClock clock;
    int ticks = 0;
    std::function<void()> tick = [&] {
        ++ticks;
        clock.schedule(1s, tick);
    };
    clock.schedule(1s, tick);
    EXPECT_FALSE(clock.runUntilIdle(100));  // endless rescheduling is cut off
    EXPECT_EQ(clock.now(), 100s);
    EXPECT_FALSE(clock.runUntil([&] { return ticks == 200; }, 2500ms));
    EXPECT_EQ(clock.now(), 102500ms);
    EXPECT_EQ(ticks, 102);
}
