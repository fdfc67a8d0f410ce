#pragma once

#include "core/Task.h"

#include <coroutine>
#include <exception>
#include <optional>
#include <stop_token>
#include <unordered_set>

namespace tessora {

// Structured concurrency: children started by spawn() run interleaved on the event loop, and
// join() waits for all of them.
//
//   TaskGroup group(stop);
//   for (const QString& id : ids)
//       group.spawn(waitForWindow(clock, id, group.token()));
//   co_await group.join();
//
// - A stop of the parent token, or requestStop(), requests stop of token(); the children are
//   expected to notice it (every wait of the system takes a stop token) and end early.
// - A child that throws: the first exception requests stop of its siblings and is rethrown by
//   join() once every child has completed; later ones are logged and dropped. A group that is
//   never joined logs the exception it still holds when it is destroyed.
// - Destroying a group whose children still run requests stop and then destroys the children
//   at their suspension points (see Task.h): their locals are destroyed, their timers and
//   callbacks are given back, nothing after the suspension point runs, nothing leaks. It must
//   not be destroyed from inside one of its own children, and it must outlive a pending
//   join(): a joiner left waiting on a destroyed group is never resumed.
// - One join() at a time; the group can be reused after a join. A stop is final: children
//   spawned after it get a stopped token.
class TaskGroup {
public:
    explicit TaskGroup(std::stop_token parent = {});
    ~TaskGroup();
    TaskGroup(const TaskGroup&) = delete;
    TaskGroup& operator=(const TaskGroup&) = delete;

    // Starts `child` at once; it runs until its first suspension before spawn() returns.
    void spawn(Task<void> child);
    std::stop_token token() const noexcept { return m_stop.get_token(); }
    void requestStop() noexcept { m_stop.request_stop(); }
    // Completes when every child has completed (at once for an empty group).
    Task<void> join();
    std::size_t running() const noexcept { return m_children.size(); }

private:
    struct ForwardStop {
        TaskGroup* group;
        void operator()() const noexcept { group->requestStop(); }
    };
    class JoinAwaiter;
    struct ChildRun;

    static ChildRun runChild(TaskGroup* group, Task<void> child);
    void childFailed(std::exception_ptr error) noexcept;
    std::coroutine_handle<> childFinished(void* frame) noexcept;

    std::stop_source m_stop;
    std::unordered_set<void*> m_children;  // frame addresses of the running children
    JoinAwaiter* m_joiner = nullptr;
    std::exception_ptr m_firstError;
    std::optional<std::stop_callback<ForwardStop>> m_parentStop;
};

}  // namespace tessora
