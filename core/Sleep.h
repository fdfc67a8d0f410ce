#pragma once

#include "core/Clock.h"

#include <coroutine>
#include <optional>
#include <stop_token>
#include <thread>

namespace tessora {

// The awaiter behind sleepFor(). It is created and awaited in one expression; it cannot be
// copied or moved, because the clock and the stop callback point at it while it waits.
class [[nodiscard]] SleepAwaiter {
public:
    SleepAwaiter(Clock& clock, Clock::Duration duration, std::stop_token stop) noexcept;
    ~SleepAwaiter();
    SleepAwaiter(const SleepAwaiter&) = delete;
    SleepAwaiter& operator=(const SleepAwaiter&) = delete;

    bool await_ready() const noexcept { return m_stop.stop_requested(); }
    void await_suspend(std::coroutine_handle<> waiter);
    bool await_resume() const noexcept { return m_elapsed; }

private:
    struct StopRequested {
        SleepAwaiter* self;
        void operator()() const noexcept { self->onStopRequested(); }
    };

    void onStopRequested() noexcept;
    void wake(bool elapsed);

    Clock& m_clock;
    Clock::Duration m_duration;
    std::stop_token m_stop;
    std::coroutine_handle<> m_waiter;
    std::thread::id m_waitingThread;
    std::optional<Clock::TimerId> m_timer;  // the pending wake-up, if any
    bool m_elapsed = false;
    std::optional<std::stop_callback<StopRequested>> m_stopCallback;  // last: goes first
};

// `bool elapsed = co_await sleepFor(clock, 300ms, stop);`
//
// True when the full duration elapsed; false when a stop was requested, whether before the
// call (then it does not suspend at all) or during the sleep (then it ends early: the timer is
// cancelled and the coroutine resumes from a zero-delay callback of the clock, never inside
// the request_stop() call, so a canceller is never re-entered). A zero or negative duration
// yields to the clock once.
//
// Stops are expected on the clock's own thread, as all code of the system runs on the main
// thread. A stop requested from another thread cannot touch the clock: it is logged and
// noticed when the timer fires (the sleep then ends on time and reports false).
inline SleepAwaiter sleepFor(Clock& clock, Clock::Duration duration, std::stop_token stop) {
    return SleepAwaiter(clock, duration, std::move(stop));
}

}  // namespace tessora
