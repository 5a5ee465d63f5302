#pragma once

#include <cstdint>

#include "grid/code_grid.h"
#include "grid/show_random.h"
#include "sprites/sprite_strip.h"

namespace korvane {

// The falling code of a monitor beside the one that runs the show: the same streams on a
// grid of that monitor's size, drawn from a generator of its own, without end. Monitor
// number n (the show's own monitor is 0) seeds its generator with n + 1, so every monitor
// repeats its own rain on every run and the show's generator is never touched.
class MonitorRain {
  public:
    // `cellScale` is the factor of that monitor's sheet (CodeGrid).
    MonitorRain(int32_t cols, int32_t rows, int32_t monitorNumber, int32_t cellScale = 1);

    // One tick: draws the grid's redraw region through `glyphStrip`, then steps the rain for
    // the next tick. A finished run starts again straight away.
    void Frame();

    ShowRandom random;
    CodeGrid grid;
    int32_t rainFrameCount = 0;
    SpriteStrip glyphStrip;  // wired by whoever owns the surfaces
};

}  // namespace korvane
