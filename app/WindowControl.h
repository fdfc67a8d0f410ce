#pragma once

#include <QString>
#include <functional>

namespace tessora {

// The program's ability to move and resize other applications' windows, as the views see it:
// whether it is there (with the reason when not), and how to ask the user to make it possible.
struct WindowControl {
    // True when windows can be controlled; otherwise false, with the reason in `why` when given.
    std::function<bool(QString* why)> available;
    // Tells the user what is missing and what to do about it.
    std::function<void()> request;

    // Asks `available`; false where nobody can tell.
    bool isAvailable(QString* why = nullptr) const { return available && available(why); }
};

}  // namespace tessora
