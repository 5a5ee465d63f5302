#pragma once

#include <array>

#include "sprites/surface.h"

namespace korvane {

class SpriteStrip;

// The cursor's animation: the solid block rising through the four brightness bands and
// falling back, then the all but blank cell 116.
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

void AddCursorFrames(SpriteStrip& cursorStrip);

// Every set-up points both strips at the new surfaces; the glyph strip copies opaquely, the
// cursor strip keeps its colour key and gains the eight frames once more.
void WireStrips(SpriteStrip& glyphStrip, SpriteStrip& cursorStrip, Surface* spriteSurface,
                Surface* backBuffer, Surface* workSurface);

}  // namespace korvane
