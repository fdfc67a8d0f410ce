#pragma once

#include <QtGlobal>
#include <chrono>
#include <functional>

namespace tessora {

// A monotonic clock that can call back later. All waiting in the system goes through one, so
// that the same code runs on Qt timers in the application and on a virtual clock in tests.
//
// Contract shared by every implementation:
//  - Callbacks run on the thread that owns the clock (the main thread), one at a time, never
//    inside schedule() or cancel().
//  - A callback may schedule and cancel timers, including cancelling itself (a no-op then).
//  - A negative delay counts as zero; a zero delay runs the callback on a later turn of the
//    event loop, which is how code hops out of a call stack it must not re-enter.
//  - Timer ids start at 1 and are never reused, so cancelling a fired or unknown id is a no-op.
//  - Pending callbacks are dropped, never run, when the clock is destroyed.
class Clock {
public:
    using Duration = std::chrono::nanoseconds;
    using TimePoint = std::chrono::nanoseconds;  // since the clock's own epoch
    using TimerId = quint64;

    virtual ~Clock() = default;

    virtual TimePoint now() const = 0;
    virtual TimerId schedule(Duration delay, std::function<void()> callback) = 0;
    virtual void cancel(TimerId id) = 0;  // no-op for unknown or fired ids
};

}  // namespace tessora
