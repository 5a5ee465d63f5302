#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "display/indexed_bitmap.h"
#include "display/memory_surface.h"

namespace korvane {

// A screenshot: 8-bit RGB triples, rows top-down.
struct ScreenPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;
};

// Reads a binary PPM (P6, maximum value 255), as `import ... shot.ppm` writes it.
bool ReadPpm(const std::string& path, ScreenPicture& out, std::string& error);

// How a screen of a given depth shows the show's 32-bit colours. At 24 bits they appear as
// they are; at 16 bits only their top 5-6-5 bits survive; at 8 bits every colour is one of
// the glyph sheet's palette entries.
class ScreenComparison {
  public:
    ScreenComparison(const ScreenPicture& screen, int32_t depth, const IndexedBitmap& sheet);

    // True when the 32-bit picture `frame` (0x00RRGGBB pixels) looks exactly like the screen.
    bool Matches(const MemorySurface& frame) const;
    // Pixels in which they differ, for a report.
    int64_t CountDifferences(const MemorySurface& frame) const;

  private:
    uint32_t Reduce(uint32_t rgb) const;

    int32_t depth_;
    const IndexedBitmap& sheet_;
    int32_t width_;
    int32_t height_;
    std::vector<uint32_t> screen_;  // reduced screen colours
};

// Cells of 16 x 24 pixels that hold anything other than black.
int32_t CountLitCells(const MemorySurface& frame);

// A fingerprint of a picture's pixels, to tell a still picture from a changing one.
uint64_t PictureFingerprint(const MemorySurface& frame);

}  // namespace korvane
