#pragma once

#include <cstdint>

#include "sprites/cell_scale.h"

namespace korvane {

// One grid cell is one 16 x 24 pixel cell of the screen and of the glyph sheet, whose bands
// of 72 rows (one per brightness level) hold 40 cells to a row.
inline constexpr int32_t kCellWidth = 16;
inline constexpr int32_t kCellHeight = 24;
inline constexpr int32_t kBandHeight = 72;
inline constexpr int32_t kCellsPerSheetRow = 40;

// A cell's size on screen at a factor of sprites/cell_scale.h.
constexpr int32_t CellWidthAt(int32_t scale) {
    return kCellWidth * scale;
}
constexpr int32_t CellHeightAt(int32_t scale) {
    return kCellHeight * scale;
}

struct GridSize {
    int32_t cols = 0;
    int32_t rows = 0;
};

// The grid of a width x height screen at a factor (taken into range): as many whole cells as
// fit. What is left at the right and the bottom stays black.
constexpr GridSize GridSizeForScreen(int32_t width, int32_t height, int32_t scale) {
    const int32_t clamped = ClampCellScale(scale);
    return {width / CellWidthAt(clamped), height / CellHeightAt(clamped)};
}

}  // namespace korvane
