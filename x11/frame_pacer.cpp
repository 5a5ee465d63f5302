#include "x11/frame_pacer.h"

namespace korvane {

void FramePacer::TickStarted(int64_t now) {
    ++ticks_;
    // Deadlines after this tick's own that have already gone by had no tick of their own.
    const int64_t passed = now > deadline_ ? (now - deadline_) / period_ : 0;
    missed_ += passed;
    deadline_ += (passed + 1) * period_;
}

}  // namespace korvane
