#pragma once

#include "core/Clock.h"
#include "platform/WindowSystem.h"

#include <QList>
#include <chrono>
#include <functional>
#include <memory>

namespace tessora {

// Keys typed between the shortcut and the launcher panel taking the focus would land in the
// application the user came from. From begin() until finish() the keyboard is held and what is
// typed is kept; finish() lets go and hands the keys over, in order. A hold ends by itself after
// `limit`, so a focus that never arrives cannot keep the keyboard. Where the keyboard cannot be
// held (another program holds it) keys go where they always went. Main thread only.
class KeyboardHandover {
public:
    static constexpr Clock::Duration limit = std::chrono::milliseconds(1000);

    KeyboardHandover(WindowSystem& windows, Clock& clock);
    ~KeyboardHandover();
    KeyboardHandover(const KeyboardHandover&) = delete;
    KeyboardHandover& operator=(const KeyboardHandover&) = delete;

    // Holds the keyboard; `deliver` gets the kept keys at the end. A hold already running goes
    // on with the new `deliver`.
    void begin(std::function<void(const QList<TypedKey>&)> deliver);
    // Lets go and delivers what was typed.
    void finish();
    // Lets go and drops what was typed.
    void cancel();
    bool holding() const { return m_hold != nullptr; }

private:
    void release();

    WindowSystem& m_windows;
    Clock& m_clock;
    std::unique_ptr<InputGrab> m_hold;
    QList<TypedKey> m_typed;
    std::function<void(const QList<TypedKey>&)> m_deliver;
    Clock::TimerId m_timer = 0;
};

}  // namespace tessora
