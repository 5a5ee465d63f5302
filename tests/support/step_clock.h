#pragma once

#include <cstdint>

namespace korvane::testing {

// A clock for BusyBudget that moves on by `step` milliseconds at every reading, so a test
// sees exactly how much time the retries would have taken.
struct StepClock {
    static int64_t Now() { return now += step; }
    static void Reset(int64_t stepMilliseconds) {
        now = 0;
        step = stepMilliseconds;
    }
    static inline int64_t now = 0;
    static inline int64_t step = 10;
};

}  // namespace korvane::testing
