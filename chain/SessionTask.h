#pragma once

#include "core/Task.h"
#include "core/TaskHandle.h"

#include <stop_token>
#include <utility>

namespace tessora {

// One background task of the Chain session, a slot that either holds a task or is "none".
//
// A task may empty its own slot (release()) and may be cancelled from code that it called
// itself, so a slot never destroys the frame of the task it holds on the spot: cancel() only
// requests a stop, which the task notices at its next check. The frame is freed when the next
// task is launched into the slot (never from inside that old task: the launches of a slot
// come from other tasks or from event handlers) or when the session goes.
class SessionTask {
public:
    bool held() const { return m_held; }

    // A stop token for the task about to be launched; the slot counts as held from now on, so
    // that a task which ends before it first suspends can release it.
    std::stop_token prepare() {
        m_stop = std::stop_source();
        m_held = true;
        return m_stop.get_token();
    }
    // Runs `task` until it first suspends; the task held before is destroyed afterwards.
    void launch(Task<void> task) {
        TaskHandle<void> started = start(std::move(task));
        std::swap(m_handle, started);
    }
    // The task ends by itself: the slot becomes none.
    void release() { m_held = false; }
    // Asks the task to stop at its next check; the slot becomes none at once.
    void cancel() {
        m_stop.request_stop();
        m_held = false;
    }

private:
    std::stop_source m_stop;
    TaskHandle<void> m_handle;
    bool m_held = false;
};

}  // namespace tessora
