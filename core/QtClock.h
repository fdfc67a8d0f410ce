#pragma once

#include "core/Clock.h"

#include <chrono>
#include <memory>

namespace tessora {

// The clock of the application: Qt timers on the thread that creates it (the main thread),
// which must run an event loop and is the only thread that may call it. now() is
// std::chrono::steady_clock since construction. Delays are rounded up to whole milliseconds
// (Qt's precise timers), so a callback never runs early.
class QtClock final : public Clock {
public:
    QtClock();
    ~QtClock() override;
    QtClock(const QtClock&) = delete;
    QtClock& operator=(const QtClock&) = delete;

    TimePoint now() const override;
    TimerId schedule(Duration delay, std::function<void()> callback) override;
    void cancel(TimerId id) override;

    std::size_t pending() const;

private:
    class TimerHost;
    std::unique_ptr<TimerHost> m_host;
    std::chrono::steady_clock::time_point m_epoch;
};

}  // namespace tessora
