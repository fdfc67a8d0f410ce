#include "core/ThreadPoolWork.h"

#include "core/AsyncLogging.h"
#include "core/FreedMemory.h"

namespace tessora {

ThreadPoolWork::ThreadPoolWork(int maxThreads) {
    m_pool.setMaxThreadCount(qMax(1, maxThreads));
    m_pool.setObjectName(QStringLiteral("tessora background work"));
    // Jobs come in rare bursts: an idle thread goes after a second rather than half a minute.
    m_pool.setExpiryTimeout(1000);
}

ThreadPoolWork::~ThreadPoolWork() {
    m_pool.clear();
    m_pool.waitForDone();
    // m_context goes next; with it go the deliveries still queued for it.
}

void ThreadPoolWork::post(std::function<void()> work, std::function<void()> done) {
    if (QThread::currentThread() != m_context.thread()) {
        qCWarning(lcAsync) << "Background work posted from a thread other than its owner's; "
                              "its result is delivered on the owner's thread";
    }
    // The context outlives every job (the destructor drains the pool first), so the worker may
    // queue onto it without further checks.
    QObject* context = &m_context;
    m_pool.start([context, work = std::move(work), done = std::move(done)]() mutable {
        try {
            if (work) {
                work();
            }
        } catch (...) {
            qCCritical(lcAsync).noquote()
                << "Background work failed:" << describeException(std::current_exception());
        }
        // A job is a burst (a walk over folders, a file parsed): what it freed goes back to
        // the system rather than staying with a resident program.
        releaseFreedMemory();
        if (done) {
            QMetaObject::invokeMethod(context, std::move(done), Qt::QueuedConnection);
        }
    });
}

}  // namespace tessora
