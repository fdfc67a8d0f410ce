#pragma once

#include "core/Task.h"

#include <stdexcept>

namespace tessora {

// A task started from code that is not a coroutine (the event handlers of the application,
// tests), which then watches it finish: `auto running = start(arrange(...));` ...
// `if (running.done()) use(running.result());`.
//
// The handle owns the task: destroying it while the task is still suspended destroys the task
// at its suspension point (see Task.h), which gives back its pending timers and callbacks. To
// let a task run on with nobody watching, use startDetached() instead.
template <typename T>
class [[nodiscard]] TaskHandle {
public:
    TaskHandle() noexcept = default;
    TaskHandle(TaskHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, {})) {}
    TaskHandle& operator=(TaskHandle&& other) noexcept {
        if (this != &other) {
            reset();
            m_handle = std::exchange(other.m_handle, {});
        }
        return *this;
    }
    TaskHandle(const TaskHandle&) = delete;
    TaskHandle& operator=(const TaskHandle&) = delete;
    ~TaskHandle() { reset(); }

    bool done() const noexcept { return m_handle && m_handle.done(); }
    // Finished by throwing; result() rethrows the exception.
    bool failed() const noexcept { return done() && m_handle.promise().failed(); }
    // The exception the task finished with; null while it runs or when it succeeded.
    std::exception_ptr error() const noexcept {
        return done() ? m_handle.promise().error() : nullptr;
    }

    // The task's value (a reference into the handle), or its exception rethrown. Throws
    // std::logic_error when the task has not finished.
    std::add_lvalue_reference_t<T> result() {
        if (!done()) {
            throw std::logic_error("TaskHandle::result() called before the task finished");
        }
        return m_handle.promise().value();
    }

    // Destroys the task now if it still runs (a no-op when it has finished or is empty).
    void reset() noexcept {
        if (m_handle) {
            std::exchange(m_handle, {}).destroy();
        }
    }

private:
    template <typename U>
    friend TaskHandle<U> start(Task<U> task);

    explicit TaskHandle(typename Task<T>::Handle handle) noexcept : m_handle(handle) {}

    typename Task<T>::Handle m_handle;
};

// Starts `task` at once; it runs until its first suspension before start() returns.
template <typename T>
TaskHandle<T> start(Task<T> task) {
    TaskHandle<T> handle(task.release());
    if (handle.m_handle) {
        handle.m_handle.resume();
    }
    return handle;
}

}  // namespace tessora
