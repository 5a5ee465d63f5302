#include <algorithm>
#include <array>

#include "grid/cell_geometry.h"
#include "grid/code_grid.h"
#include "sprites/sprite_strip.h"

namespace korvane {

namespace {

// Cells handed to the strip at once: a 4K row at the design's cells in one band, on the stack.
constexpr size_t kBandCells = 256;

}  // namespace

void CodeGrid::Render(SpriteStrip& strip) const {
    // Sequences may name cells past the grid's edge; only cells that exist are drawn.
    const int32_t left = std::max(redrawRegion.left, 0);
    const int32_t top = std::max(redrawRegion.top, 0);
    const int32_t right = std::min(redrawRegion.right, cols);
    const int32_t bottom = std::min(redrawRegion.bottom, rows);
    const int32_t cellWidth = CellWidthAt(cellScale);
    const int32_t cellHeight = CellHeightAt(cellScale);
    const int32_t bandHeight = kBandHeight * cellScale;
    std::array<BandCopy, kBandCells> band;
    for (int32_t r = top; r < bottom; ++r) {
        size_t count = 0;
        for (int32_t c = left; c < right; ++c) {
            const int32_t code = CellAt(c, r);
            const int32_t glyph = code >> 2;
            const int32_t level = code & 3;
            const int32_t sourceLeft = cellWidth * (glyph % kCellsPerSheetRow);
            const int32_t sourceTop = bandHeight * level + cellHeight * (glyph / kCellsPerSheetRow);
            band[count++] = {
                cellWidth * c,
                {sourceLeft, sourceTop, sourceLeft + cellWidth, sourceTop + cellHeight}};
            if (count == band.size() || c + 1 == right) {
                strip.DrawBand(cellHeight * r, std::span<const BandCopy>(band.data(), count));
                count = 0;
            }
        }
    }
}

}  // namespace korvane
