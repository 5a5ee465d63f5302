#pragma once

#include <cstdint>

#include "show/show_event_log.h"
#include "sprites/show_display.h"

namespace korvane {

// A display without pixels: counts what it is asked to do and, given a log, records each
// clear of both pages as a wipe.
class HeadlessShowDisplay : public ShowDisplay {
  public:
    HeadlessShowDisplay() = default;
    explicit HeadlessShowDisplay(ShowEventLog& log) : log_(&log) {}

    DisplayResult FlipPages() override {
        ++flipCount;
        return kDisplayOk;
    }
    void ClearFlipClear() override {
        ++clearCount;
        if (log_ != nullptr) {
            log_->Add({ShowEvent::Kind::kWipe, 0, false});
        }
    }

    int64_t flipCount = 0;
    int64_t clearCount = 0;

  private:
    ShowEventLog* log_ = nullptr;
};

}  // namespace korvane
