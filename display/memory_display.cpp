#include "display/memory_display.h"

#include <algorithm>
#include <utility>

#include "sprites/cell_scale.h"
#include "sprites/color_depth.h"
#include "sprites/cursor_frames.h"
#include "sprites/sprite_strip.h"

namespace korvane {

MemoryDisplay::MemoryDisplay(int32_t width, int32_t height, int32_t depth)
    : depth(depth),
      primarySurface(width, height, BytesPerPixelForDepth(depth)),
      backBuffer(width, height, BytesPerPixelForDepth(depth)),
      workSurface(width, height, BytesPerPixelForDepth(depth)) {}

DisplayResult MemoryDisplay::FlipPages() {
    std::swap(primarySurface.bytes, backBuffer.bytes);
    return kDisplayOk;
}

void MemoryDisplay::ClearFlipClear() {
    std::fill(backBuffer.bytes.begin(), backBuffer.bytes.end(), uint8_t{0});
    FlipPages();
    std::fill(backBuffer.bytes.begin(), backBuffer.bytes.end(), uint8_t{0});
}

void SetUpMemoryDisplay(MemoryDisplay& display, const IndexedBitmap* sheet, SpriteStrip& glyphStrip,
                        SpriteStrip& cursorStrip, int32_t cellScale) {
    display.ClearFlipClear();
    display.spriteSurface = MemorySurface();
    display.cellScale = ClampCellScale(cellScale);
    if (sheet != nullptr && sheet->width > 0) {
        const int32_t bytesPerPixel = display.backBuffer.bytesPerPixel;
        display.spriteSurface =
            display.cellScale == 1
                ? SurfaceFromBitmap(*sheet, bytesPerPixel)
                : SurfaceFromBitmap(EnlargeBitmap(*sheet, display.cellScale), bytesPerPixel);
        // Black is the key, as the pixel value black has on this surface: palette index 0
        // at 8 bits (the sheet's own palette is the display's), zero otherwise.
        display.spriteSurface.colorKey =
            EncodePixel(PaletteColor{}, 0, display.backBuffer.bytesPerPixel);
        display.spriteSurface.hasColorKey = true;
    }
    WireStrips(glyphStrip, cursorStrip, &display.spriteSurface, &display.backBuffer,
               &display.workSurface, display.cellScale);
}

}  // namespace korvane
