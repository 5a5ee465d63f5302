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

struct ScreenArea {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// Pixels of the area, clipped to the screen, that are clearly green: the glyphs' colour and
// nothing a desktop or a white window shows.
int64_t CountGreenPixels(const ScreenPicture& screen, const ScreenArea& area);

// In how many of the 16 x 24 grid's columns and rows glyphs show, in percent. A cell counts
// when at least 8 of its pixels are clearly green: a glyph's strokes, not a stray pixel.
struct GlyphSpread {
    int32_t columnPercent = 0;
    int32_t rowPercent = 0;
};
GlyphSpread MeasureGlyphSpread(const ScreenPicture& screen);

// Pixels that are magenta, or nearly: the tests' stand-in for the user's work under the saver,
// a colour no glyph has at any depth (at 8 bits Wine may show a bright glyph as white).
int64_t CountMagentaPixels(const ScreenPicture& screen);

// Pixels of the area, clipped to the screen, that are white or nearly: the tests' stand-in for
// the user's work on a monitor the saver must cover (no glyph is near white at 16 or 24 bits).
int64_t CountWhitePixels(const ScreenPicture& screen, const ScreenArea& area);

// Pixels of the area, clipped to both, in which two screenshots of one size differ; -1 when
// their sizes differ.
int64_t CountChangedPixels(const ScreenPicture& before, const ScreenPicture& after,
                           const ScreenArea& area);

// Distinct colours of the screenshot.
size_t CountColors(const ScreenPicture& screen);

// Cells of 16 x 24 pixels that hold anything other than black.
int32_t CountLitCells(const MemorySurface& frame);

// A fingerprint of a picture's pixels, to tell a still picture from a changing one.
uint64_t PictureFingerprint(const MemorySurface& frame);

}  // namespace korvane
