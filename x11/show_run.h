#pragma once

#include <cstdint>
#include <memory>

#include "display/indexed_bitmap.h"
#include "display/memory_display.h"
#include "frontend/show_switches.h"
#include "show/show.h"
#include "x11/silent_sound_player.h"

namespace korvane {

// One run of the show at one window size: the X11 program's composition root. A new size
// makes a new run, exactly as a new start of the program would.
class ShowRun {
  public:
    // Cells of 16 x 24 pixels enlarged `cellScale` times (1 to 4).
    ShowRun(const ShowSwitches& switches, const IndexedBitmap& sheet, int32_t width, int32_t height,
            int32_t cellScale);

    // Draws the next frame into the back buffer. A window too small for one cell stays black.
    void Tick();
    int32_t framesDrawn() const { return frame_; }
    // What the last tick drew: the picture its flip will show.
    const MemorySurface& backBuffer() const { return pages_->backBuffer; }

  private:
    SilentSoundPlayer sound_;
    Show show_;
    std::unique_ptr<MemoryDisplay> pages_;
    int32_t frame_ = 0;
};

}  // namespace korvane
