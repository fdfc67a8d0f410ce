#include "app/KeyboardHandover.h"

#include <utility>

namespace tessora {

KeyboardHandover::KeyboardHandover(WindowSystem& windows, Clock& clock)
    : m_windows(windows), m_clock(clock) {}

KeyboardHandover::~KeyboardHandover() {
    cancel();
}

void KeyboardHandover::begin(std::function<void(const QList<TypedKey>&)> deliver) {
    m_deliver = std::move(deliver);
    if (m_hold) {
        return;
    }
    m_hold = m_windows.holdKeyboard([this](const TypedKey& key) { m_typed.append(key); });
    if (m_hold) {
        m_timer = m_clock.schedule(limit, [this] {
            m_timer = 0;
            finish();
        });
    }
}

void KeyboardHandover::finish() {
    if (!m_hold) {
        return;
    }
    m_clock.cancel(m_timer);
    m_timer = 0;
    // Letting go first: keys still on their way arrive in `m_typed` as the hold ends.
    m_hold.reset();
    const QList<TypedKey> typed = std::exchange(m_typed, {});
    const auto deliver = std::exchange(m_deliver, nullptr);
    if (deliver && !typed.isEmpty()) {
        deliver(typed);
    }
}

void KeyboardHandover::cancel() {
    release();
}

void KeyboardHandover::release() {
    m_clock.cancel(m_timer);
    m_timer = 0;
    m_hold.reset();
    m_typed.clear();
    m_deliver = nullptr;
}

}  // namespace tessora
