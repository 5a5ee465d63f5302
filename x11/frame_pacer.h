#pragma once

#include <cstdint>

namespace korvane {

// The frame clock on absolute deadlines: frame k is due at start + k * period, whenever the
// frames before it ran. A tick that starts late keeps its slot as long as the next deadline
// has not passed; deadlines that pass without a tick are missed and skipped, never made up
// in a burst, so the show keeps its speed. Times are nanoseconds of a monotonic clock.
class FramePacer {
  public:
    FramePacer(int64_t start, int64_t period) : deadline_(start), period_(period) {}

    // When the next tick is due.
    int64_t NextDeadline() const { return deadline_; }
    // Nanoseconds to wait at `now` before the next tick; zero when it is due.
    int64_t WaitAt(int64_t now) const { return now >= deadline_ ? 0 : deadline_ - now; }
    // Records a tick that starts at `now` (at or after NextDeadline()) and moves on to the
    // first deadline still ahead of it.
    void TickStarted(int64_t now);
    // Starts the deadlines again from `start`, after a pause or a new start; the counts carry on.
    void Restart(int64_t start) { deadline_ = start; }

    int64_t ticks() const { return ticks_; }
    int64_t missedDeadlines() const { return missed_; }

  private:
    int64_t deadline_;
    int64_t period_;
    int64_t ticks_ = 0;
    int64_t missed_ = 0;
};

}  // namespace korvane
