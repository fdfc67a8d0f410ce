#include "platform/sim/ManualBackgroundWork.h"

#include "core/AsyncLogging.h"

namespace tessora {

void ManualBackgroundWork::post(std::function<void()> work, std::function<void()> done) {
    m_jobs.push_back({std::move(work), std::move(done)});
}

bool ManualBackgroundWork::runOne() {
    if (m_jobs.empty()) {
        return false;
    }
    // Off the queue first: `done` may post again.
    Job job = std::move(m_jobs.front());
    m_jobs.pop_front();
    try {
        if (job.work) {
            job.work();
        }
    } catch (...) {
        qCCritical(lcAsync).noquote()
            << "Background work failed:" << describeException(std::current_exception());
    }
    if (job.done) {
        job.done();
    }
    return true;
}

std::size_t ManualBackgroundWork::runAll() {
    std::size_t count = 0;
    while (runOne()) {
        ++count;
    }
    return count;
}

}  // namespace tessora
