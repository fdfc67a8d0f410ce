#include "app/KeyboardHandover.h"

#include <utility>

namespace tessora {

KeyboardHandover::KeyboardHandover(WindowSystem& windows, Clock& clock)
    : windows_(windows), clock_(clock) {}

KeyboardHandover::~KeyboardHandover() {
    cancel();
}

void KeyboardHandover::begin(std::function<void(const QList<TypedKey>&)> deliver) {
    deliver_ = std::move(deliver);
    if (hold_) {
        return;
    }
    hold_ = windows_.holdKeyboard([this](const TypedKey& key) { typed_.append(key); });
    if (hold_) {
        timer_ = clock_.schedule(limit, [this] {
            timer_ = 0;
            finish();
        });
    }
}

void KeyboardHandover::finish() {
    if (!hold_) {
        return;
    }
    clock_.cancel(timer_);
    timer_ = 0;
    // Letting go first: keys still on their way arrive in `typed_` as the hold ends.
    hold_.reset();
    const QList<TypedKey> typed = std::exchange(typed_, {});
    const auto deliver = std::exchange(deliver_, nullptr);
    if (deliver && !typed.isEmpty()) {
        deliver(typed);
    }
}

void KeyboardHandover::cancel() {
    release();
}

void KeyboardHandover::release() {
    clock_.cancel(timer_);
    timer_ = 0;
    hold_.reset();
    typed_.clear();
    deliver_ = nullptr;
}

}  // namespace tessora
