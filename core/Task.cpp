#include "core/Task.h"

#include "core/AsyncLogging.h"

namespace tessora {

namespace {

// Runs a task with nobody awaiting it. Both suspension points are "never", so the frame frees
// itself once the task has completed.
struct DetachedRun {
    struct promise_type {
        DetachedRun get_return_object() const noexcept { return {}; }
        std::suspend_never initial_suspend() const noexcept { return {}; }
        std::suspend_never final_suspend() const noexcept { return {}; }
        void return_void() const noexcept {}
        void unhandled_exception() const noexcept {
            qCCritical(lcAsync).noquote()
                << "A detached task failed:" << describeException(std::current_exception());
        }
    };
};

DetachedRun runDetached(Task<void> task) {
    co_await std::move(task);
}

}  // namespace

void startDetached(Task<void> task) {
    if (!task.valid()) {
        qCWarning(lcAsync) << "startDetached() was given an empty task; nothing to run";
        return;
    }
    runDetached(std::move(task));
}

}  // namespace tessora
