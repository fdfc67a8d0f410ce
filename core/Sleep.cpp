#include "core/Sleep.h"

#include "core/AsyncLogging.h"

namespace tessora {

SleepAwaiter::SleepAwaiter(Clock& clock, Clock::Duration duration, std::stop_token stop) noexcept
    : m_clock(clock), m_duration(duration), m_stop(std::move(stop)) {}

SleepAwaiter::~SleepAwaiter() {
    // Only while the awaiting frame is destroyed mid-sleep: the wake-up must never come.
    if (m_timer) {
        m_clock.cancel(*m_timer);
    }
}

void SleepAwaiter::await_suspend(std::coroutine_handle<> waiter) {
    m_waiter = waiter;
    m_waitingThread = std::this_thread::get_id();
    m_timer = m_clock.schedule(m_duration, [this] { wake(!m_stop.stop_requested()); });
    // Runs onStopRequested() right here if a stop came in since await_ready().
    m_stopCallback.emplace(m_stop, StopRequested{this});
}

void SleepAwaiter::onStopRequested() noexcept {
    if (std::this_thread::get_id() != m_waitingThread) {
        qCWarning(lcAsync) << "A sleep was stopped from another thread; it ends when its timer "
                              "fires";
        return;
    }
    if (!m_timer) {
        return;  // already waking up
    }
    m_clock.cancel(*m_timer);
    m_timer = m_clock.schedule(Clock::Duration::zero(), [this] { wake(false); });
}

void SleepAwaiter::wake(bool elapsed) {
    m_timer.reset();
    m_elapsed = elapsed;
    // Resuming may destroy this awaiter: nothing may touch it afterwards.
    m_waiter.resume();
}

}  // namespace tessora
