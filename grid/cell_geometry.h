#pragma once

#include <cstdint>

namespace korvane {

// One grid cell is one 16 x 24 pixel cell of the screen and of the glyph sheet, whose bands
// of 72 rows (one per brightness level) hold 40 cells to a row.
inline constexpr int32_t kCellWidth = 16;
inline constexpr int32_t kCellHeight = 24;
inline constexpr int32_t kBandHeight = 72;
inline constexpr int32_t kCellsPerSheetRow = 40;

}  // namespace korvane
