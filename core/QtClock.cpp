#include "core/QtClock.h"

#include <QObject>
#include <QTimerEvent>
#include <algorithm>
#include <unordered_map>

namespace tessora {

// Owns the Qt timers. Qt reuses its timer ids, so callers get ids of our own that are never
// reused; that keeps a late cancel() from hitting somebody else's timer.
class QtClock::TimerHost final : public QObject {
public:
    TimerId add(std::chrono::milliseconds delay, std::function<void()> callback) {
        const TimerId id = ++m_lastId;
        const int qtId = startTimer(delay, Qt::PreciseTimer);
        m_byQtId.emplace(qtId, Pending{id, std::move(callback)});
        m_qtIds.emplace(id, qtId);
        return id;
    }

    void remove(TimerId id) {
        const auto it = m_qtIds.find(id);
        if (it == m_qtIds.end()) {
            return;
        }
        killTimer(it->second);
        m_byQtId.erase(it->second);
        m_qtIds.erase(it);
    }

    std::size_t size() const { return m_qtIds.size(); }

protected:
    void timerEvent(QTimerEvent* event) override {
        const auto it = m_byQtId.find(event->timerId());
        if (it == m_byQtId.end()) {
            return;  // cancelled after Qt had already queued its event
        }
        killTimer(it->first);
        // Out of the tables before it runs: it may schedule or cancel.
        std::function<void()> callback = std::move(it->second.callback);
        m_qtIds.erase(it->second.id);
        m_byQtId.erase(it);
        callback();
    }

private:
    struct Pending {
        TimerId id;
        std::function<void()> callback;
    };

    TimerId m_lastId = 0;
    std::unordered_map<int, Pending> m_byQtId;
    std::unordered_map<TimerId, int> m_qtIds;
};

QtClock::QtClock()
    : m_host(std::make_unique<TimerHost>()), m_epoch(std::chrono::steady_clock::now()) {}

QtClock::~QtClock() = default;

Clock::TimePoint QtClock::now() const {
    return std::chrono::duration_cast<TimePoint>(std::chrono::steady_clock::now() - m_epoch);
}

Clock::TimerId QtClock::schedule(Duration delay, std::function<void()> callback) {
    const auto millis =
        std::chrono::ceil<std::chrono::milliseconds>(std::max(delay, Duration::zero()));
    return m_host->add(millis, std::move(callback));
}

void QtClock::cancel(TimerId id) {
    m_host->remove(id);
}

std::size_t QtClock::pending() const {
    return m_host->size();
}

}  // namespace tessora
