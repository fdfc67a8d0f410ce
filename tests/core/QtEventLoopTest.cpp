// The production clock and background work, on a real event loop and real threads. The loop
// spins until the awaited thing has happened; a generous timer only ends a hung test.
#include "core/QtClock.h"
#include "core/Sleep.h"
#include "core/TaskHandle.h"
#include "core/ThreadPoolWork.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <functional>
#include <vector>

using namespace std::chrono_literals;
using namespace tessora;

namespace {

bool spinUntil(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer failureGuard;
    failureGuard.setSingleShot(true);
    failureGuard.start(20s);
    while (!done() && failureGuard.isActive()) {
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
    return done();
}

Task<bool> sleepOnce(Clock& clock, Clock::Duration duration, std::stop_token stop) {
    co_return co_await sleepFor(clock, duration, std::move(stop));
}

Task<std::pair<QThread*, QThread*>> hopThreads(BackgroundWork& work) {
    QThread* worker = co_await runInBackground(work, [] { return QThread::currentThread(); });
    co_return std::pair{worker, QThread::currentThread()};
}

}  // namespace

TEST(QtClockTest, RunsCallbacksByDeadlineNeverEarlyNeverCancelled) {
    QtClock clock;
    std::vector<int> order;
    Clock::TimePoint lastAt{};
    clock.schedule(30ms, [&] {
        order.push_back(30);
        lastAt = clock.now();
    });
    clock.schedule(10ms, [&] { order.push_back(10); });
    clock.cancel(clock.schedule(5ms, [&] { order.push_back(5); }));

    std::stop_source stop;
    auto sleeping = start(sleepOnce(clock, 1h, stop.get_token()));
    clock.schedule(0ms, [&] { stop.request_stop(); });

    ASSERT_TRUE(spinUntil([&] { return order.size() == 2 && sleeping.done(); }));
    EXPECT_EQ(order, (std::vector<int>{10, 30}));
    EXPECT_GE(lastAt, 30ms);
    EXPECT_FALSE(sleeping.result());
    EXPECT_EQ(clock.pending(), 0u);
}

TEST(ThreadPoolWorkTest, WorksOffTheMainThreadResumesOnItAndDeliversNothingOnceGone) {
    ThreadPoolWork work;
    auto running = start(hopThreads(work));
    ASSERT_TRUE(spinUntil([&] { return running.done(); }));
    QThread* mainThread = QCoreApplication::instance()->thread();
    EXPECT_NE(running.result().first, mainThread);
    EXPECT_EQ(running.result().second, mainThread);

    // A pool that is gone delivers nothing.
    std::atomic<bool> worked = false;
    bool delivered = false;
    {
        ThreadPoolWork doomed(1);
        doomed.post(
            [&] {
                worked = true;
                worked.notify_one();
            },
            [&] { delivered = true; });
        worked.wait(false);  // the result is on its way to the main thread
    }
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(delivered);
}
