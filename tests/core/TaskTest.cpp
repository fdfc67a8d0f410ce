#include "core/BackgroundWork.h"
#include "core/Sleep.h"
#include "core/Task.h"
#include "core/TaskHandle.h"
#include "platform/sim/ManualBackgroundWork.h"
#include "platform/sim/VirtualClock.h"
#include "tests/core/LiveCount.h"

#include <gtest/gtest.h>
#include <QString>

#include <memory>
#include <stdexcept>
#include <string>

using namespace std::chrono_literals;
using namespace tessora;

namespace {

Task<int> answer() {
    co_return 42;
}

Task<int> failing() {
    throw std::runtime_error("boom");
    co_return 0;
}

Task<QString> describe() {
    const int value = co_await answer();
    try {
        co_await failing();
    } catch (const std::runtime_error& error) {
        co_return QStringLiteral("%1 %2").arg(value).arg(QLatin1String(error.what()));
    }
    co_return QString();
}

Task<int> valueAfter(Clock& clock, LiveCount held) {
    co_await sleepFor(clock, 1s, {});
    co_return held.value;
}

Task<std::string> shout(Clock& clock, std::string text) {
    co_await sleepFor(clock, 1s, {});
    co_return text + "!";
}

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

int lengthOf(QString text) {
    return static_cast<int>(text.size());
}

Task<int> measure(BackgroundWork& work, QString text) {
    co_return co_await runInBackground(work, &lengthOf, text);
}

Task<int> severalJobs(BackgroundWork& work) {
    const QString suffix = QStringLiteral("xyz");
    const auto withSuffix = [suffix](const QString& text) { return text + suffix; };
    const QString joined = co_await runInBackground(work, withSuffix, QStringLiteral("ab"));
    auto boxed = std::make_unique<int>(static_cast<int>(joined.size()));
    const int size = co_await runInBackground(
        work, [](std::unique_ptr<int> value) { return *value; }, std::move(boxed));
    EXPECT_EQ(size, 5);
    co_await runInBackground(work, [] { throw std::runtime_error("unreadable folder"); });
    co_return size;
}

}  // namespace

TEST(TaskTest, NestedTasksPassValuesAndExceptions) {
    auto described = start(describe());
    ASSERT_TRUE(described.done());
    EXPECT_EQ(described.result(), QStringLiteral("42 boom"));

    auto failed = start(failing());
    EXPECT_TRUE(failed.failed());
    EXPECT_THROW(failed.result(), std::runtime_error);
}

TEST(TaskTest, FramesAreFreedWhetherNeverStartedFinishedOrAbandoned) {
    VirtualClock clock;
    {
        Task<int> lazy = valueAfter(clock, LiveCount(1));
        EXPECT_EQ(LiveCount::alive, 1);  // its parameter, in the frame
        EXPECT_EQ(clock.pending(), 0u);  // not started
    }
    EXPECT_EQ(LiveCount::alive, 0);

    auto running = start(valueAfter(clock, LiveCount(5)));
    EXPECT_THROW(running.result(), std::logic_error);  // not finished yet
    clock.advance(1s);
    EXPECT_EQ(running.result(), 5);

    auto outer = [](Clock& c) -> Task<int> {
        const LiveCount local(3);
        co_return co_await valueAfter(c, LiveCount(4)) + local.value;
    };
    auto abandoned = start(outer(clock));
    running.reset();
    EXPECT_GT(LiveCount::alive, 0);
    abandoned.reset();  // destroys the suspended chain
    EXPECT_EQ(LiveCount::alive, 0);
    EXPECT_EQ(clock.pending(), 0u);  // the inner sleep gave its timer back

    // A detached task frees itself and swallows (logs) its exception.
    auto throwsLater = [](Clock& c, LiveCount) -> Task<void> {
        co_await sleepFor(c, 1s, {});
        throw std::runtime_error("lost window");
    };
    startDetached(throwsLater(clock, LiveCount()));
    EXPECT_EQ(LiveCount::alive, 1);
    clock.advance(1s);
    EXPECT_EQ(LiveCount::alive, 0);
}

TEST(TaskTest, LongLoopsOfTasksThatFinishAtOnceKeepTheStackFlat) {
    auto loop = []() -> Task<long> {
        long sum = 0;
        for (int i = 0; i < 500'000; ++i) {
            sum += co_await answer();
        }
        co_return sum;
    };
    auto running = start(loop());
    ASSERT_TRUE(running.done());
    EXPECT_EQ(running.result(), 42L * 500'000);
}

// Shapes of co_await expressions that g++ has miscompiled in some versions; Task.h lists the
// ones g++ 12 gets wrong. Temporaries must survive the suspension, untaken branches must not run.
TEST(TaskTest, TemporariesInAwaitExpressionsSurviveSuspension) {
    VirtualClock clock;
    auto body = [](Clock& c) -> Task<void> {
        const std::string text = co_await shout(c, std::string(40, 'a') + "b");
        EXPECT_EQ(text, std::string(40, 'a') + "b!");
        const int nested = co_await valueAfter(c, LiveCount(co_await valueAfter(c, LiveCount(6))));
        EXPECT_EQ(nested, 6);
        const bool first = true;
        const int chosen =
            first ? co_await valueAfter(c, LiveCount(7)) : co_await valueAfter(c, LiveCount(8));
        EXPECT_EQ(chosen, 7);
        if (!first && co_await valueAfter(c, LiveCount(9)) == 9) {
            ADD_FAILURE() << "short-circuit ignored";
        }
    };
    auto running = start(body(clock));
    EXPECT_TRUE(clock.runUntilIdle());
    ASSERT_TRUE(running.done());
    EXPECT_EQ(clock.now(), 4s);  // four sleeps: no branch not taken was awaited
    EXPECT_EQ(LiveCount::alive, 0);
}

TEST(SleepTest, PollLoopTakesExactlyItsVirtualTimeAndStopsEarly) {
    VirtualClock clock;
    auto polling = start(pollLoop(clock, 300ms, 50, {}));
    EXPECT_TRUE(clock.runUntil([&] { return polling.done(); }, 1min));
    EXPECT_EQ(clock.now(), 15s);
    EXPECT_EQ(polling.result(), 50);

    std::stop_source stop;
    polling = start(pollLoop(clock, 300ms, 50, stop.get_token()));
    clock.advance(1s);  // three polls, into the fourth sleep
    stop.request_stop();
    EXPECT_FALSE(polling.done());                            // not resumed inside request_stop()
    EXPECT_EQ(clock.nextDeadline(), Clock::TimePoint(16s));  // but by a zero-delay hop
    clock.runNext();
    ASSERT_TRUE(polling.done());
    EXPECT_EQ(polling.result(), 3);
    EXPECT_EQ(clock.now(), 16s);
    EXPECT_EQ(clock.pending(), 0u);  // the sleep's own timer is gone for good

    auto stoppedBefore = start(pollLoop(clock, 10s, 1, stop.get_token()));
    ASSERT_TRUE(stoppedBefore.done());  // without suspending at all
    EXPECT_EQ(stoppedBefore.result(), 0);
    EXPECT_EQ(clock.pending(), 0u);
}

TEST(BackgroundWorkTest, ResultArrivesWhenTheJobCompletes) {
    ManualBackgroundWork work;
    auto measuring = start(measure(work, QStringLiteral("tessora")));
    EXPECT_EQ(work.pending(), 1u);
    EXPECT_FALSE(measuring.done());
    EXPECT_TRUE(work.runOne());
    ASSERT_TRUE(measuring.done());
    EXPECT_EQ(measuring.result(), 7);

    auto several = start(severalJobs(work));
    auto abandoned = start(measure(work, QStringLiteral("gone")));
    abandoned.reset();  // its frame goes while its job is queued: the job resumes nothing
    EXPECT_EQ(work.runAll(), 4u);
    ASSERT_TRUE(several.done());
    EXPECT_THROW(several.result(), std::runtime_error);
}
