#pragma once

#include <cstdint>

#include "sprites/surface.h"

namespace korvane {

// Milliseconds since any fixed point; only differences are read.
using MillisecondClock = int64_t (*)();

// The standard library's steady clock in milliseconds.
int64_t SteadyMilliseconds();

// How long the copies of one frame (or one lock at display set-up) may keep retrying while
// the display answers "still drawing". A driver that never stops answering so would otherwise
// hold the window thread, and with it the lock screen, for good. Renewed at every frame's
// start; once spent, the frame's remaining copies are left out as a refused copy is. The clock
// is read only after a "still drawing" answer, so a display that never gives one never pays
// for a reading.
class BusyBudget {
  public:
    static constexpr int64_t kMilliseconds = 100;

    explicit BusyBudget(MillisecondClock clock = &SteadyMilliseconds) : clock_(clock) {}

    void Renew() {
        retried_ = 0;
        lastRetry_ = 0;
        exhausted_ = false;
    }
    bool Spent() const { return exhausted_; }

    // Calls `attempt` (answering a DisplayResult) again while it answers kWasStillDrawing and
    // the budget lasts; what it answered last. Once the budget is spent, kWasStillDrawing
    // without a call.
    template <typename Attempt>
    DisplayResult RetryWhileStillDrawing(Attempt&& attempt) {
        if (exhausted_) {
            return kWasStillDrawing;
        }
        DisplayResult result = attempt();
        if (result != kWasStillDrawing) {
            return result;
        }
        const int64_t start = clock_();
        int64_t now = start;
        // A retry starts only while one as long as the last still ends within the budget.
        while (result == kWasStillDrawing &&
               retried_ + (now - start) + lastRetry_ <= kMilliseconds) {
            result = attempt();
            const int64_t before = now;
            now = clock_();
            lastRetry_ = now - before;
        }
        retried_ += now - start;
        exhausted_ = result == kWasStillDrawing;
        return result;
    }

  private:
    MillisecondClock clock_;
    int64_t retried_ = 0;    // milliseconds spent retrying since the renewal
    int64_t lastRetry_ = 0;  // how long the last retry took
    bool exhausted_ = false;
};

}  // namespace korvane
