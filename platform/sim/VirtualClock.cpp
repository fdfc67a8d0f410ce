#include "platform/sim/VirtualClock.h"

#include <QLoggingCategory>

namespace tessora {

namespace {
Q_LOGGING_CATEGORY(lcVirtualClock, "tessora.sim.clock")
}

// Marks the clock as running callbacks, and refuses a nested run from inside a callback:
// it would move time under the feet of the run that is in progress.
class VirtualClock::RunScope {
public:
    explicit RunScope(VirtualClock& clock) : m_clock(clock), m_entered(!clock.m_running) {
        if (m_entered) {
            m_clock.m_running = true;
        } else {
            qCWarning(lcVirtualClock) << "The virtual clock was told to run from inside one of "
                                         "its callbacks; ignored";
        }
    }
    ~RunScope() {
        if (m_entered) {
            m_clock.m_running = false;
        }
    }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

    explicit operator bool() const { return m_entered; }

private:
    VirtualClock& m_clock;
    bool m_entered;
};

Clock::TimerId VirtualClock::schedule(Duration delay, std::function<void()> callback) {
    const TimerId id = ++m_lastId;
    const TimePoint due = m_now + std::max(delay, Duration::zero());
    m_queue.emplace(Key{due, id}, std::move(callback));
    m_dueTimes.emplace(id, due);
    return id;
}

void VirtualClock::cancel(TimerId id) {
    const auto it = m_dueTimes.find(id);
    if (it == m_dueTimes.end()) {
        return;
    }
    m_queue.erase(Key{it->second, id});
    m_dueTimes.erase(it);
}

void VirtualClock::advance(Duration d) {
    const RunScope scope(*this);
    if (!scope) {
        return;
    }
    if (d < Duration::zero()) {
        qCWarning(lcVirtualClock) << "The virtual clock cannot go back; advance by" << d.count()
                                  << "ns ignored";
        return;
    }
    const TimePoint end = m_now + d;
    while (!m_queue.empty() && m_queue.begin()->first.first <= end) {
        runFirst();
    }
    m_now = end;
}

bool VirtualClock::runNext() {
    const RunScope scope(*this);
    if (!scope || m_queue.empty()) {
        return false;
    }
    runFirst();
    return true;
}

bool VirtualClock::runUntilIdle(std::size_t maxCallbacks) {
    const RunScope scope(*this);
    if (!scope) {
        return false;
    }
    for (std::size_t run = 0; run < maxCallbacks && !m_queue.empty(); ++run) {
        runFirst();
    }
    if (!m_queue.empty()) {
        qCWarning(lcVirtualClock) << "The virtual clock is still busy after" << maxCallbacks
                                  << "callbacks; something reschedules itself without end";
        return false;
    }
    return true;
}

std::optional<Clock::TimePoint> VirtualClock::nextDeadline() const {
    if (m_queue.empty()) {
        return std::nullopt;
    }
    return m_queue.begin()->first.first;
}

void VirtualClock::runFirst() {
    // Out of the queue before it runs: it may schedule, cancel (itself too) or resume code that
    // does.
    auto node = m_queue.extract(m_queue.begin());
    m_dueTimes.erase(node.key().second);
    m_now = std::max(m_now, node.key().first);
    node.mapped()();
}

}  // namespace tessora
