#pragma once

#include <coroutine>
#include <exception>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <variant>

// Task<T>: the coroutine type of the system. A Task is lazy: calling a coroutine only creates
// its frame; `co_await task` starts it, and the caller goes on with its result or its exception
// when it finishes (at once, in place, or later, by symmetric transfer).
//
// Ownership: a Task owns its frame. Destroying a Task that was never started or has finished
// frees the frame. A started, unfinished Task is owned by the frame that awaits it; destroying
// that outer frame destroys the whole chain at its suspension points: locals are destroyed,
// the awaiters of this code base give back their timers and callbacks, and nothing after the
// suspension point runs. A frame must never be destroyed while it is running, i.e. from inside
// itself.
//
// Patterns to avoid (found on g++ 12.2; most of them compile and then misbehave at run time):
//  - A lambda that captures by value an object with a destructor (a QString, a container, a
//    shared_ptr...) written inside a statement that contains co_await: g++ 12 destroys the
//    captured copies twice. That covers lambdas passed to runInBackground() (which refuses
//    such a temporary at compile time) and lambdas that are themselves coroutines. Create the
//    lambda in a statement of its own, or capture only references, pointers and plain values.
//  - Lambdas with captures as coroutines at all: the frame refers to the closure, not to a copy
//    of it, so a closure that dies before its task finishes (a task given to spawn() or
//    startDetached(), or kept for later) leaves the task reading freed memory. Use a
//    captureless lambda and pass what it needs as by-value parameters.
//  - Reference parameters of a coroutine whose task is not awaited in the same statement: the
//    frame keeps the reference, not the object. Take parameters by value (a Clock& or another
//    object that outlives every task is fine).
//  - A braced list as an argument in a co_await expression (`co_await f({a, b})`): g++ 12
//    rejects it ("array used as initializer"). Build the container in a statement of its own.
//  - co_await in the condition of a while, for or do loop together with &&, || or ?:
//    (`while (polls < max && co_await sleepFor(...))`): g++ 12 evaluates the co_await even
//    when the left operand has already decided. Test inside the loop body instead:
//    `while (polls < max) { if (!co_await sleepFor(...)) break; ... }`. The same operators
//    in an if condition or an ordinary expression are fine.
//  - Awaiting the same Task twice: it yields its result once (the result is moved out).
// Other temporaries in co_await expressions (by-value arguments, string expressions, nested
// co_await, the conditional operator, structured bindings) are fine; the tests keep it so.

namespace tessora {

template <typename T = void>
class Task;
template <typename T>
class TaskHandle;
template <typename T>
TaskHandle<T> start(Task<T> task);

namespace detail {

class TaskPromiseBase {
public:
    struct FinalAwaiter {
        bool await_ready() const noexcept { return false; }
        template <typename Promise>
        std::coroutine_handle<> await_suspend(std::coroutine_handle<Promise> self) const noexcept {
            return self.promise().finished();
        }
        void await_resume() const noexcept {}
    };

    std::suspend_always initial_suspend() const noexcept { return {}; }
    FinalAwaiter final_suspend() const noexcept { return {}; }

    // Runs the task (whose promise this is) until it first suspends or finishes. True when it
    // finished: the awaiting coroutine then goes on by itself, in the same stack frame. Only
    // tasks that finish later resume their awaiter by symmetric transfer. So a loop over tasks
    // that finish at once needs no tail calls, which g++ does not make at -O0 or under
    // AddressSanitizer: a long loop would overflow the stack.
    bool runFrom(std::coroutine_handle<> self, std::coroutine_handle<> awaiting) {
        m_continuation = awaiting;
        m_starting = true;
        self.resume();
        m_starting = false;
        return m_finishedWhileStarting;
    }

private:
    std::coroutine_handle<> finished() noexcept {
        if (m_starting) {
            m_finishedWhileStarting = true;
            return std::noop_coroutine();
        }
        return m_continuation;
    }

    // Nobody to resume (a task run by start()): the frame then rests at its end until freed.
    std::coroutine_handle<> m_continuation = std::noop_coroutine();
    bool m_starting = false;
    bool m_finishedWhileStarting = false;
};

template <typename T>
class TaskPromise final : public TaskPromiseBase {
    static_assert(!std::is_reference_v<T>, "Task<T&> is not supported: return a value");

public:
    Task<T> get_return_object() noexcept;
    void return_value(T value) { m_result.template emplace<kValue>(std::move(value)); }
    void unhandled_exception() noexcept {
        m_result.template emplace<kError>(std::current_exception());
    }

    bool failed() const noexcept { return m_result.index() == kError; }
    std::exception_ptr error() const noexcept {
        return failed() ? std::get<kError>(m_result) : nullptr;
    }
    T& value() {
        rethrowIfFailed();
        return std::get<kValue>(m_result);
    }
    T take() { return std::move(value()); }

private:
    static constexpr std::size_t kValue = 1;
    static constexpr std::size_t kError = 2;

    void rethrowIfFailed() const {
        if (failed()) {
            std::rethrow_exception(std::get<kError>(m_result));
        }
    }

    std::variant<std::monostate, T, std::exception_ptr> m_result;
};

template <>
class TaskPromise<void> final : public TaskPromiseBase {
public:
    Task<void> get_return_object() noexcept;
    void return_void() const noexcept {}
    void unhandled_exception() noexcept { m_error = std::current_exception(); }

    bool failed() const noexcept { return static_cast<bool>(m_error); }
    std::exception_ptr error() const noexcept { return m_error; }
    void value() const {
        if (m_error) {
            std::rethrow_exception(m_error);
        }
    }
    void take() const { value(); }

private:
    std::exception_ptr m_error;
};

}  // namespace detail

template <typename T>
class [[nodiscard]] Task {
public:
    using promise_type = detail::TaskPromise<T>;
    using Handle = std::coroutine_handle<promise_type>;

    Task() noexcept = default;
    Task(Task&& other) noexcept : m_handle(std::exchange(other.m_handle, {})) {}
    Task& operator=(Task&& other) noexcept {
        if (this != &other) {
            reset();
            m_handle = std::exchange(other.m_handle, {});
        }
        return *this;
    }
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;
    ~Task() { reset(); }

    // False for a default-constructed or moved-from Task; awaiting one throws std::logic_error.
    bool valid() const noexcept { return static_cast<bool>(m_handle); }

    auto operator co_await() && noexcept { return Awaiter{m_handle}; }
    auto operator co_await() & noexcept { return Awaiter{m_handle}; }

private:
    friend promise_type;
    template <typename U>
    friend TaskHandle<U> start(Task<U> task);

    struct Awaiter {
        Handle handle;

        bool await_ready() const noexcept { return !handle || handle.done(); }
        bool await_suspend(std::coroutine_handle<> awaiting) const {
            return !handle.promise().runFrom(handle, awaiting);
        }
        T await_resume() const {
            if (!handle) {
                throw std::logic_error("co_await on an empty Task");
            }
            return handle.promise().take();
        }
    };

    explicit Task(Handle handle) noexcept : m_handle(handle) {}
    Handle release() noexcept { return std::exchange(m_handle, {}); }
    void reset() noexcept {
        if (m_handle) {
            std::exchange(m_handle, {}).destroy();
        }
    }

    Handle m_handle;
};

namespace detail {

template <typename T>
Task<T> TaskPromise<T>::get_return_object() noexcept {
    return Task<T>(Task<T>::Handle::from_promise(*this));
}

inline Task<void> TaskPromise<void>::get_return_object() noexcept {
    return Task<void>(Task<void>::Handle::from_promise(*this));
}

}  // namespace detail

// Starts `task` at once and lets it run on its own: its frame frees itself when it completes.
// An exception that escapes it is logged (qCCritical), not rethrown. A detached task must end
// by itself (bounded waits); the caller has no way to stop it except through a stop_token it
// passed in.
void startDetached(Task<void> task);

}  // namespace tessora
