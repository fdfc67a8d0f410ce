#include "platform/UnavailableWindowSystem.h"

#include "core/Task.h"

namespace tessora {

UnavailableWindowSystem::UnavailableWindowSystem(QString reason, QObject* parent)
    : WindowSystem(parent), m_reason(std::move(reason)) {}

bool UnavailableWindowSystem::canControlWindows(QString* reason) const {
    if (reason) {
        *reason = m_reason;
    }
    return false;
}

Task<LaunchOutcome> UnavailableWindowSystem::openApplication(InstalledApp, bool) {
    co_return LaunchOutcome{std::nullopt, m_reason};
}

}  // namespace tessora
