#pragma once

#include <cstdint>
#include <vector>

#include "display/indexed_bitmap.h"
#include "sprites/surface.h"

namespace korvane {

// DirectDraw's answer to a copy whose rectangle does not fit a surface.
inline constexpr DisplayResult kInvalidRect = static_cast<int32_t>(0x88760096u);

// Pixel value of a colour at 1 (palette index), 2 (5-6-5), 3 or 4 (8-8-8) bytes per pixel.
uint32_t EncodePixel(const PaletteColor& color, uint8_t index, int32_t bytesPerPixel);

// A surface in memory with the pixel layout of a locked DirectDraw surface: rows of
// `pitch` bytes, little-endian pixel values of `bytesPerPixel` bytes.
class MemorySurface final : public Surface {
  public:
    MemorySurface() = default;
    // Empty (no pixels, width and height 0) when a side is not in 1..kMaxSurfaceSide or the
    // pixel size not in 1..4.
    MemorySurface(int32_t width, int32_t height, int32_t bytesPerPixel);

    DisplayResult BltFast(int32_t x, int32_t y, Surface& source, const PixelRect& rect,
                          uint32_t flags) override;
    bool TakesBands() const override { return true; }
    DisplayResult BltFastBand(int32_t y, Surface& source, std::span<const BandCopy> copies,
                              uint32_t flags) override;

    bool Empty() const { return bytes.empty(); }
    uint32_t PixelAt(int32_t x, int32_t y) const;
    void SetPixel(int32_t x, int32_t y, uint32_t value);
    void Fill(uint32_t value);

    int32_t width = 0;
    int32_t height = 0;
    int32_t bytesPerPixel = 1;
    int32_t pitch = 0;
    std::vector<uint8_t> bytes;
    bool hasColorKey = false;
    uint32_t colorKey = 0;

  private:
    // The source as a memory surface this one can copy from (both with pixels, of one pixel
    // size), or null.
    MemorySurface* SourceOfMyFormat(Surface& sourceSurface) const;
    // Whether `rect` lies inside the source and, put at (x, y), inside this surface.
    bool Fits(const MemorySurface& source, int32_t x, int32_t y, const PixelRect& rect) const;
};

// The picture as a surface of the given depth; at one byte per pixel the values are the
// bitmap's own palette indices, which is what the display shows once its palette is attached.
MemorySurface SurfaceFromBitmap(const IndexedBitmap& bitmap, int32_t bytesPerPixel);

}  // namespace korvane
