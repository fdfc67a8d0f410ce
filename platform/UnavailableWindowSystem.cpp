#include "platform/UnavailableWindowSystem.h"

#include "core/Task.h"

namespace tessora {

UnavailableWindowSystem::UnavailableWindowSystem(QString reason, QObject* parent)
    : WindowSystem(parent), reason_(std::move(reason)) {}

bool UnavailableWindowSystem::canControlWindows(QString* reason) const {
    if (reason) {
        *reason = reason_;
    }
    return false;
}

Task<LaunchOutcome> UnavailableWindowSystem::openApplication(InstalledApp, bool) {
    co_return LaunchOutcome{std::nullopt, reason_};
}

}  // namespace tessora
