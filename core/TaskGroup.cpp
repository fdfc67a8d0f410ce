#include "core/TaskGroup.h"

#include "core/AsyncLogging.h"

namespace tessora {

// The frame that runs one child: it records the child's exception, then tells the group at
// its end and frees itself. It starts suspended so that the group can register it first.
struct TaskGroup::ChildRun {
    struct promise_type {
        TaskGroup* group = nullptr;

        struct Finished {
            bool await_ready() const noexcept { return false; }
            std::coroutine_handle<> await_suspend(
                std::coroutine_handle<promise_type> self) const noexcept {
                TaskGroup* owner = self.promise().group;
                void* frame = self.address();
                self.destroy();
                // The joiner, when this was the last child: it may destroy the group, so
                // nothing here touches the group after this point.
                return owner->childFinished(frame);
            }
            void await_resume() const noexcept {}
        };

        ChildRun get_return_object() noexcept {
            return {std::coroutine_handle<promise_type>::from_promise(*this)};
        }
        std::suspend_always initial_suspend() const noexcept { return {}; }
        Finished final_suspend() const noexcept { return {}; }
        void return_void() const noexcept {}
        // runChild() catches everything it awaits; this covers only allocation failures.
        void unhandled_exception() const noexcept { group->childFailed(std::current_exception()); }
    };

    std::coroutine_handle<promise_type> handle;
};

class TaskGroup::JoinAwaiter {
public:
    explicit JoinAwaiter(TaskGroup& group) noexcept : m_group(&group) {}
    JoinAwaiter(const JoinAwaiter&) = delete;
    JoinAwaiter& operator=(const JoinAwaiter&) = delete;
    ~JoinAwaiter() {
        // The joining frame was destroyed while it waited.
        if (m_group && m_group->m_joiner == this) {
            m_group->m_joiner = nullptr;
        }
    }

    bool await_ready() const noexcept { return m_group->running() == 0; }
    bool await_suspend(std::coroutine_handle<> waiter) noexcept {
        if (m_group->m_joiner) {
            qCWarning(lcAsync) << "TaskGroup::join() while another join() is pending; "
                                  "this one does not wait";
            return false;
        }
        m_waiter = waiter;
        m_group->m_joiner = this;
        return true;
    }
    void await_resume() const noexcept {}

private:
    friend class TaskGroup;
    TaskGroup* m_group;
    std::coroutine_handle<> m_waiter;
};

TaskGroup::TaskGroup(std::stop_token parent) {
    // Runs ForwardStop at once if the parent is already stopped.
    m_parentStop.emplace(std::move(parent), ForwardStop{this});
}

TaskGroup::~TaskGroup() {
    m_parentStop.reset();
    if (!m_children.empty()) {
        qCDebug(lcAsync) << "Destroying a task group with" << m_children.size()
                         << "running children";
        m_stop.request_stop();
    }
    // Destroying a child runs its destructors, which could even spawn again: work on a copy.
    while (!m_children.empty()) {
        std::unordered_set<void*> children;
        children.swap(m_children);
        for (void* frame : children) {
            std::coroutine_handle<>::from_address(frame).destroy();
        }
    }
    if (m_joiner) {
        qCWarning(lcAsync) << "A task group was destroyed while a join() waited on it";
        m_joiner->m_group = nullptr;
    }
    if (m_firstError) {
        qCWarning(lcAsync).noquote() << "A child of a task group that was never joined failed:"
                                     << describeException(m_firstError);
    }
}

TaskGroup::ChildRun TaskGroup::runChild(TaskGroup* group, Task<void> child) {
    try {
        co_await std::move(child);
    } catch (...) {
        group->childFailed(std::current_exception());
    }
}

void TaskGroup::spawn(Task<void> child) {
    if (!child.valid()) {
        qCWarning(lcAsync) << "TaskGroup::spawn() was given an empty task; nothing to run";
        return;
    }
    auto run = runChild(this, std::move(child)).handle;
    run.promise().group = this;
    m_children.insert(run.address());
    run.resume();
}

Task<void> TaskGroup::join() {
    co_await JoinAwaiter(*this);
    if (m_firstError) {
        std::rethrow_exception(std::exchange(m_firstError, nullptr));
    }
}

void TaskGroup::childFailed(std::exception_ptr error) noexcept {
    if (m_firstError) {
        qCWarning(lcAsync).noquote()
            << "Another child of a task group failed:" << describeException(error);
        return;
    }
    m_firstError = std::move(error);
    requestStop();
}

std::coroutine_handle<> TaskGroup::childFinished(void* frame) noexcept {
    m_children.erase(frame);
    if (!m_children.empty() || !m_joiner) {
        return std::noop_coroutine();
    }
    return std::exchange(m_joiner, nullptr)->m_waiter;
}

}  // namespace tessora
