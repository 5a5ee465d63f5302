#pragma once

#include "show/show_event_log.h"
#include "sprites/show_display.h"

namespace korvane {

// Lets a display with pixels stand where the trace expects the headless one: every clear of
// both pages still goes into the log as a wipe.
class WipeLoggingDisplay : public ShowDisplay {
  public:
    WipeLoggingDisplay(ShowDisplay& pages, ShowEventLog& log) : pages_(pages), log_(log) {}

    DisplayResult FlipPages() override { return pages_.FlipPages(); }
    void ClearFlipClear() override {
        pages_.ClearFlipClear();
        log_.Add({ShowEvent::Kind::kWipe, 0, false});
    }

  private:
    ShowDisplay& pages_;
    ShowEventLog& log_;
};

}  // namespace korvane
