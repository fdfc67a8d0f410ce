#include "core/AsyncLogging.h"
#include "core/Sleep.h"
#include "core/TaskGroup.h"
#include "core/TaskHandle.h"
#include "platform/sim/VirtualClock.h"
#include "tests/core/LiveCount.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace std::chrono_literals;
using namespace tessora;

namespace {

struct Finish {
    Clock::TimePoint at;
    bool elapsed;
    friend bool operator==(const Finish&, const Finish&) = default;
};

Task<void> sleeper(Clock& clock, Clock::Duration duration, std::stop_token stop,
                   std::vector<Finish>* finishes) {
    const LiveCount held;
    const bool elapsed = co_await sleepFor(clock, duration, std::move(stop));
    finishes->push_back({clock.now(), elapsed});
}

Task<void> failAfter(Clock& clock, Clock::Duration duration, const char* what) {
    co_await sleepFor(clock, duration, {});
    throw std::runtime_error(what);
}

Task<void> joinGroup(TaskGroup& group) {
    co_await group.join();
}

}  // namespace

TEST(TaskGroupTest, ChildrenRunConcurrentlyAndJoinWaitsForAll) {
    VirtualClock clock;
    std::stop_source parent;
    TaskGroup group(parent.get_token());
    EXPECT_TRUE(start(joinGroup(group)).done());  // nothing to wait for

    std::vector<Finish> finishes;
    for (int i = 0; i < 3; ++i) {
        group.spawn(sleeper(clock, 1s, group.token(), &finishes));
    }
    EXPECT_EQ(group.running(), 3u);
    auto joining = start(joinGroup(group));
    EXPECT_FALSE(joining.done());
    clock.runUntilIdle();
    ASSERT_TRUE(joining.done());
    EXPECT_EQ(finishes, std::vector<Finish>(3, Finish{1s, true}));
    EXPECT_EQ(clock.now(), 1s);

    // A stop of the parent reaches every child.
    finishes.clear();
    group.spawn(sleeper(clock, 10s, group.token(), &finishes));
    group.spawn(sleeper(clock, 20s, group.token(), &finishes));
    joining = start(joinGroup(group));
    clock.advance(2s);
    parent.request_stop();
    clock.runUntilIdle();
    ASSERT_TRUE(joining.done());
    EXPECT_EQ(finishes, std::vector<Finish>(2, Finish{3s, false}));
}

TEST(TaskGroupTest, FirstFailureStopsSiblingsAndJoinRethrowsIt) {
    VirtualClock clock;
    TaskGroup group;
    std::vector<Finish> finishes;
    group.spawn(failAfter(clock, 1s, "first"));
    group.spawn(failAfter(clock, 1s, "second"));  // logged, not rethrown
    group.spawn(sleeper(clock, 1min, group.token(), &finishes));
    auto joining = start(joinGroup(group));

    clock.runUntilIdle();
    ASSERT_TRUE(joining.failed());
    EXPECT_EQ(describeException(joining.error()), QStringLiteral("first"));
    EXPECT_EQ(finishes, std::vector<Finish>(1, Finish{1s, false}));
    EXPECT_FALSE(start(joinGroup(group)).failed());  // the exception was handed over
}

TEST(TaskGroupTest, DestroyingAGroupDestroysItsRunningChildren) {
    VirtualClock clock;
    std::vector<Finish> finishes;
    auto gather = [](Clock& c, std::vector<Finish>* out) -> Task<void> {
        TaskGroup group;
        group.spawn(sleeper(c, 1s, group.token(), out));
        group.spawn(sleeper(c, 5s, group.token(), out));
        co_await group.join();
    };
    auto gathering = start(gather(clock, &finishes));
    clock.advance(2s);
    EXPECT_EQ(LiveCount::alive, 1);

    gathering.reset();  // destroyed while it waits in join(): the group and its child go too
    EXPECT_EQ(LiveCount::alive, 0);
    EXPECT_EQ(clock.pending(), 0u);  // no wake-up left behind for a freed frame
    clock.advance(10s);
    EXPECT_EQ(finishes.size(), 1u);
}
