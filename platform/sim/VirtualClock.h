#pragma once

#include "core/Clock.h"

#include <algorithm>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>

namespace tessora {

// A clock whose time moves only when a test moves it, so that code which waits for seconds
// runs in microseconds and always the same way. now() starts at 0. Callbacks due at the same
// time run in the order they were scheduled. The functions that run callbacks must not be
// called from inside a callback; such a call is logged and does nothing.
//
// Like every clock it must outlive the tasks that sleep on it: in a test, declare the clock
// before the task handles and groups, so that they are destroyed first.
class VirtualClock final : public Clock {
public:
    // runUntilIdle() gives up after this many callbacks: code that reschedules itself forever
    // (a poll loop without a bound) would otherwise never let it return.
    static constexpr std::size_t kIdleCallbackLimit = 100'000;

    TimePoint now() const override { return m_now; }
    TimerId schedule(Duration delay, std::function<void()> callback) override;
    void cancel(TimerId id) override;

    // Moves time forward by `d`, running every callback that falls due on the way in time
    // order, including callbacks scheduled by those callbacks within the window. While a
    // callback runs, now() is its due time; afterwards now() is the start plus `d`.
    void advance(Duration d);
    // Runs the earliest pending callback, moving time to its due time. False when none is
    // pending.
    bool runNext();
    // Runs callbacks, moving time forward, until none is pending. Returns false (and logs)
    // when it stopped at `maxCallbacks` with callbacks still pending.
    bool runUntilIdle(std::size_t maxCallbacks = kIdleCallbackLimit);
    // Runs callbacks in order until done() holds, but not past now() + limit. Time ends at the
    // moment done() became true, or at now() + limit. Returns done().
    template <class Pred>
    bool runUntil(Pred done, Duration limit);

    std::optional<TimePoint> nextDeadline() const;
    std::size_t pending() const { return m_queue.size(); }

private:
    using Key = std::pair<TimePoint, TimerId>;  // ids grow, so equal times keep their order

    class RunScope;
    void runFirst();

    TimePoint m_now{0};
    TimerId m_lastId = 0;
    std::map<Key, std::function<void()>> m_queue;
    std::unordered_map<TimerId, TimePoint> m_dueTimes;
    bool m_running = false;  // inside advance(), runUntilIdle() or runUntil()
};

template <class Pred>
bool VirtualClock::runUntil(Pred done, Duration limit) {
    const TimePoint end = m_now + std::max(limit, Duration::zero());
    while (!done()) {
        const auto next = nextDeadline();
        if (!next || *next > end) {
            m_now = end;
            return done();
        }
        if (!runNext()) {
            return done();  // called from inside a callback; logged by runNext()
        }
    }
    return true;
}

}  // namespace tessora
