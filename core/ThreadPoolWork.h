#pragma once

#include "core/BackgroundWork.h"

#include <QObject>
#include <QThread>
#include <QThreadPool>

namespace tessora {

// BackgroundWork on a QThreadPool of its own. A pool of its own, rather than the global one,
// because the work is blocking I/O that should not hold up other users of the global pool, and
// because the destructor can then wait for exactly its own jobs.
//
// Results come back through a queued call on a context object that lives on the thread that
// created this object (the main thread), so post() belongs on that thread too.
//
// Destruction drops the jobs that have not started, waits for the running ones (so no work
// outlives the objects it may refer to), and drops every `done` that has not run yet: once
// this object is gone, no `done` runs. A coroutine awaiting one of those jobs is not resumed;
// destroy a ThreadPoolWork only after everything that awaits it.
class ThreadPoolWork final : public BackgroundWork {
public:
    explicit ThreadPoolWork(int maxThreads = QThread::idealThreadCount());
    ~ThreadPoolWork() override;
    ThreadPoolWork(const ThreadPoolWork&) = delete;
    ThreadPoolWork& operator=(const ThreadPoolWork&) = delete;

    void post(std::function<void()> work, std::function<void()> done) override;

private:
    QObject m_context;  // declared before the pool: destroyed after it has been drained
    QThreadPool m_pool;
};

}  // namespace tessora
