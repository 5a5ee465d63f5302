#pragma once

#include "sprites/surface.h"

namespace korvane {

// What the frame tick needs of the display besides the two sprite strips.
class ShowDisplay {
  public:
    virtual ~ShowDisplay() = default;

    // Shows the page drawn during the previous tick.
    virtual DisplayResult FlipPages() = 0;
    // Leaves both pages of the flip chain black.
    virtual void ClearFlipClear() = 0;
};

}  // namespace korvane
