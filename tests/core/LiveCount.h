#pragma once

// Counts live instances, to prove that coroutine frames and temporaries are freed exactly once.
struct LiveCount {
    static inline int alive = 0;
    int value;
    explicit LiveCount(int v = 0) : value(v) { ++alive; }
    LiveCount(const LiveCount& other) : value(other.value) { ++alive; }
    ~LiveCount() { --alive; }
};
