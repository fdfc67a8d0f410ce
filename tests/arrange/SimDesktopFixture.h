#pragma once

#include "core/TaskHandle.h"
#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/VirtualClock.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <ostream>
#include <type_traits>

namespace tessora {

template <typename Space>
void PrintTo(const Rect<Space>& r, std::ostream* os) {
    *os << "{" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << "}";
}

// Equal up to rounding: tile frames come out of fractions of the area.
MATCHER_P(FrameNear, expected, "") {
    constexpr double e = 1e-6;
    return std::abs(arg.x - expected.x) < e && std::abs(arg.y - expected.y) < e &&
           std::abs(arg.width - expected.width) < e && std::abs(arg.height - expected.height) < e;
}

// A simulated desktop on a virtual clock, and a way to run a task on it to the end.
class SimDesktopFixture : public ::testing::Test {
protected:
    // Runs `task` until it finishes, moving virtual time (never more than `limit`). A task that
    // does not finish fails the test.
    template <typename T>
    T run(Task<T> task, Clock::Duration limit = std::chrono::minutes(1)) {
        auto handle = start(std::move(task));
        EXPECT_TRUE(clock.runUntil([&] { return handle.done(); }, limit)) << "task still runs";
        if constexpr (std::is_void_v<T>) {
            handle.result();
        } else {
            return std::move(handle.result());
        }
    }

    RunningApplication running(const SimApp& app) const { return app.runningApplication(); }

    VirtualClock clock;  // first: outlives the sim and every task
    SimWindowSystem sim{clock};
};

}  // namespace tessora
