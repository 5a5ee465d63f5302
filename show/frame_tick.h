#pragma once

#include <cstdint>

namespace korvane {

struct Show;

// The time of one frame: the saver's frame timer and the native programs' frame clock.
inline constexpr uint32_t kFrameMilliseconds = 30;

// One tick of the frame timer: renews the show's busy budget, shows the previous picture,
// draws the grid's changed cells and advances the show by a frame. Does nothing before the run
// has a grid. (The saver runs no frames while its password is asked: its timer is stopped.)
void FrameTick(Show& show, int32_t frame);

}  // namespace korvane
