#pragma once

#include <cstddef>
#include <cstdint>

namespace korvane {

// The glyph sheet's bitmap file, built into the program from the generated assets.
extern const uint8_t kGlyphSheetFile[];
extern const std::size_t kGlyphSheetFileSize;

}  // namespace korvane
