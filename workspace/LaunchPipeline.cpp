// Confirming a selection: the snapshot, the target display and area, and the serialized run.
#include "workspace/WorkspaceModel.h"

#include "core/AsyncLogging.h"
#include "core/Task.h"
#include "platform/WindowSystem.h"
#include "workspace/LaunchOperations.h"
#include "workspace/SettingsKeys.h"

#include <QLoggingCategory>

namespace tessora {

Q_LOGGING_CATEGORY(lcLauncher, "Launcher")

namespace {

constexpr double spacingGap = 24.0;

}  // namespace

std::optional<Screen> WorkspaceModel::targetScreen() const {
    const QList<Screen> screens = m_services.windows.screens();
    if (m_targetDisplayID) {
        for (const Screen& screen : screens) {
            if (screen.number == *m_targetDisplayID) {
                return screen;
            }
        }
    }
    return screenAt(screens, m_services.windows.pointerLocation());
}

void WorkspaceModel::launchSelected(const std::function<void()>& onStart) {
    if (m_busy || m_selected.isEmpty() || !m_services.operations) {
        return;
    }
    LaunchPlan plan;
    plan.apps = m_selected;
    if (m_layoutID.isEmpty()) {
        run(onStart, std::move(plan));
        return;
    }
    plan.layout = layoutWithID(m_layoutID);
    if (!plan.layout || !m_services.windows.canControlWindows()) {
        return;
    }
    const std::optional<Screen> screen = targetScreen();
    if (!screen) {
        return;
    }
    plan.area = screen->visibleFrame;

    plan.indicators = m_defaults.boolValue(keys::stackIndicatorsEnabled).value_or(false);
    const bool spacing = m_defaults.boolValue(keys::windowSpacingEnabled).value_or(false);
    plan.gap = spacing || plan.indicators ? spacingGap : 0.0;
    run(onStart, std::move(plan));
}

void WorkspaceModel::run(const std::function<void()>& onStart, LaunchPlan plan) {
    setBusy(true);
    m_services.operations->hideStackIndicator();
    if (onStart) {
        onStart();
    }
    startDetached(perform(std::move(plan)));
}

Task<void> WorkspaceModel::perform(LaunchPlan plan) {
    const std::shared_ptr<bool> alive = m_alive;
    LaunchOperations& operations = *m_services.operations;
    QStringList messages;
    // A run that fails half-way still ends: the launcher must not stay busy for good.
    std::exception_ptr failure;
    try {
        co_await operations.endChain();
        if (!plan.layout) {
            messages = co_await operations.open(plan.apps);
        } else if (plan.layout->id == QLatin1String(chainLayoutId)) {
            messages = co_await operations.chain(*plan.layout, plan.apps, plan.area, plan.gap);
        } else {
            messages = co_await operations.arrange(*plan.layout, plan.apps, plan.area, plan.gap,
                                                   plan.indicators);
        }
    } catch (...) {
        failure = std::current_exception();
    }
    if (!*alive) {
        co_return;
    }
    if (failure) {
        messages << QStringLiteral("The launch stopped early: %1.").arg(describeException(failure));
    }
    setBusy(false);
    for (const QString& message : messages) {
        qCCritical(lcLauncher).noquote() << message;
    }
    emit launchFinished(messages);
}

}  // namespace tessora
