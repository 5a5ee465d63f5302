#pragma once

#include <cstdint>

namespace korvane {

struct Show;

// Runs one frame of the show: the current sequence's step, the cursor, and the move to the
// next sequence with a wipe of display and grid where one is due.
class ShowSequencer {
  public:
    static void Step(Show& show, int32_t frame);
};

}  // namespace korvane
