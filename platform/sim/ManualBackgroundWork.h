#pragma once

#include "core/BackgroundWork.h"

#include <deque>

namespace tessora {

// Background work for tests: post() only queues the job, and the test decides when it runs.
// runOne() and runAll() run a job's work and then its `done` inline, on the calling thread.
class ManualBackgroundWork final : public BackgroundWork {
public:
    void post(std::function<void()> work, std::function<void()> done) override;

    std::size_t pending() const { return m_jobs.size(); }
    // Runs the oldest job. False when none is queued.
    bool runOne();
    // Runs jobs until none is queued, including jobs posted meanwhile. Returns how many ran.
    std::size_t runAll();

private:
    struct Job {
        std::function<void()> work;
        std::function<void()> done;
    };
    std::deque<Job> m_jobs;
};

}  // namespace tessora
