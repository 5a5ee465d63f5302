#pragma once

#include <array>
#include <cstdint>

#include "sprites/surface.h"

namespace korvane {

class SpriteStrip;

// The cursor's animation: the solid block rising through the four brightness bands and
// falling back, then the all but blank cell 116. In pixels of the design's sheet.
inline constexpr std::array<PixelRect, 8> kCursorFrames = {{
    {544, 48, 560, 72},
    {544, 120, 560, 144},
    {544, 192, 560, 216},
    {544, 264, 560, 288},
    {544, 192, 560, 216},
    {544, 120, 560, 144},
    {544, 48, 560, 72},
    {576, 48, 592, 72},
}};

// Adds the eight frames, in a sheet enlarged `cellScale` times. Frames an earlier set-up added
// at another factor are brought to this one, so none points into a sheet that is gone.
void AddCursorFrames(SpriteStrip& cursorStrip, int32_t cellScale = 1);

// Every set-up points both strips at the new surfaces; the glyph strip copies opaquely, the
// cursor strip keeps its colour key and gains the eight frames once more, at the factor the
// sprite surface was enlarged by.
void WireStrips(SpriteStrip& glyphStrip, SpriteStrip& cursorStrip, Surface* spriteSurface,
                Surface* backBuffer, Surface* workSurface, int32_t cellScale = 1);

}  // namespace korvane
