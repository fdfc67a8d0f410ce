#pragma once

#include <coroutine>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

namespace tessora {

// Runs blocking work (a scan of the file system, say) off the main thread.
class BackgroundWork {
public:
    virtual ~BackgroundWork() = default;

    // Runs `work` off the calling thread; then runs `done` on the thread that called post.
    // An exception escaping `work` is logged; `done` still runs.
    virtual void post(std::function<void()> work, std::function<void()> done) = 0;
};

namespace detail {

// What a background job shares between the worker thread (fn, result) and the awaiting
// coroutine on the main thread (the rest). The job keeps it alive, so the awaiting frame may
// be destroyed while the work still runs: the result is then dropped.
template <typename F, typename R>
struct BackgroundJob {
    explicit BackgroundJob(F&& f) : fn(std::move(f)) {}

    void run() noexcept {
        try {
            if constexpr (std::is_void_v<R>) {
                fn();
            } else {
                result.emplace(fn());
            }
        } catch (...) {
            error = std::current_exception();
        }
    }

    void finish() {
        finished = true;
        if (!posting && waiter) {
            std::exchange(waiter, {}).resume();
        }
    }

    F fn;
    std::conditional_t<std::is_void_v<R>, bool, std::optional<R>> result{};
    std::exception_ptr error;
    std::coroutine_handle<> waiter;
    bool posting = false;  // inside post(): an inline `done` must not resume the waiter
    bool finished = false;
};

template <typename F>
class [[nodiscard]] BackgroundAwaiter {
public:
    using Result = std::invoke_result_t<F&>;

    BackgroundAwaiter(BackgroundWork& work, F fn)
        : m_work(work), m_job(std::make_shared<BackgroundJob<F, Result>>(std::move(fn))) {}
    BackgroundAwaiter(const BackgroundAwaiter&) = delete;
    BackgroundAwaiter& operator=(const BackgroundAwaiter&) = delete;
    ~BackgroundAwaiter() {
        m_job->waiter = {};  // a job that finishes after this must not resume a dead frame
    }

    bool await_ready() const noexcept { return false; }
    bool await_suspend(std::coroutine_handle<> waiter) {
        m_job->waiter = waiter;
        m_job->posting = true;
        m_work.post([job = m_job] { job->run(); }, [job = m_job] { job->finish(); });
        m_job->posting = false;
        return !m_job->finished;  // a BackgroundWork that finished inline: go on at once
    }
    Result await_resume() {
        m_job->waiter = {};
        if (m_job->error) {
            std::rethrow_exception(m_job->error);
        }
        if constexpr (!std::is_void_v<Result>) {
            return std::move(*m_job->result);
        }
    }

private:
    BackgroundWork& m_work;
    std::shared_ptr<BackgroundJob<F, Result>> m_job;
};

}  // namespace detail

// `auto entries = co_await runInBackground(work, &scanFolders, folders, token);`
//
// Runs fn(args...) on `work`'s threads and resumes the awaiting coroutine on the main thread
// with its result, or with its exception rethrown. fn and copies of args move to the worker
// thread: they must not touch main-thread state. The work cannot be interrupted from outside;
// to end it early, pass it a std::stop_token and let it check the token.
//
// fn is a function, a captureless lambda, or a named function object: g++ 12 destroys the
// captures of a lambda written inside a co_await statement twice (see Task.h), so a temporary
// function object with a destructor is refused at compile time. Name such a lambda first
// (`auto scan = [folders] { ... };` then `co_await runInBackground(work, scan);`) or pass
// the captured values as args.
template <typename F, typename... Args>
auto runInBackground(BackgroundWork& work, F&& fn, Args&&... args) {
    static_assert(std::is_lvalue_reference_v<F> || std::is_trivially_destructible_v<F>,
                  "runInBackground(): pass a function, a captureless lambda or a named "
                  "function object, and the values it needs as further arguments");
    auto call = [fn = std::forward<F>(fn), ... args = std::forward<Args>(args)]() mutable {
        return std::invoke(fn, std::move(args)...);
    };
    return detail::BackgroundAwaiter<decltype(call)>(work, std::move(call));
}

}  // namespace tessora
