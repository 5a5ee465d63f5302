#pragma once

#include <windows.h>

#include <ddraw.h>

#include "sprites/surface.h"

namespace korvane {

// A DirectDraw surface reference as the show's surface seam. It owns no reference: the
// display device decides which of its surfaces are released.
class DdrawSurface : public Surface {
  public:
    DisplayResult BltFast(int32_t x, int32_t y, Surface& source, const PixelRect& rect,
                          uint32_t flags) override;

    IDirectDrawSurface* object = nullptr;
};

}  // namespace korvane
