#pragma once

#include <cstddef>
#include <cstdint>

#include "display/indexed_bitmap.h"
#include "display/memory_surface.h"
#include "sprites/show_display.h"

namespace korvane {

class SpriteStrip;

// The simulator's display: a two-page flip chain in memory that behaves as the saver's does.
// The flip swaps the pages' pixels, so the back buffer afterwards holds what the screen
// showed before and keeps it wherever nothing is drawn.
class MemoryDisplay : public ShowDisplay {
  public:
    // Depths other than 8, 16, 24 and 32 are taken at one byte per pixel, as the saver does.
    MemoryDisplay(int32_t width, int32_t height, int32_t depth);

    DisplayResult FlipPages() override;
    void ClearFlipClear() override;

    int32_t depth;
    int32_t cellScale = 1;  // the factor the sprite surface's sheet was enlarged by
    MemorySurface primarySurface;
    MemorySurface backBuffer;
    MemorySurface workSurface;
    MemorySurface spriteSurface;
};

// The memory counterpart of the saver's display set-up: the glyph sheet, enlarged `cellScale`
// times (taken into range), in the sprite surface with black as its colour key, both pages
// black and both strips wired at that factor. An empty `sheet` leaves the sprite surface empty,
// so the strips then draw nothing.
void SetUpMemoryDisplay(MemoryDisplay& display, const IndexedBitmap* sheet, SpriteStrip& glyphStrip,
                        SpriteStrip& cursorStrip, int32_t cellScale = 1);

}  // namespace korvane
