#pragma once

#include <functional>

namespace tessora {

// Software updates as the shell uses them: whether a check can be made now, the check itself,
// and a way to ask whether a launch run is arranging windows (an update must not restart the
// program in the middle of one).
class Updater {
public:
    virtual ~Updater() = default;

    virtual bool canCheck() const = 0;
    virtual void checkForUpdates() = 0;
    virtual void setIsArranging(std::function<bool()> isArranging) = 0;
};

// The updater of a build that has none: checking is never possible, so "Check for Updates…"
// stays disabled.
class NoUpdater final : public Updater {
public:
    bool canCheck() const override { return false; }
    void checkForUpdates() override {}
    void setIsArranging(std::function<bool()>) override {}
};

}  // namespace tessora
