#include "grid/cell_geometry.h"
#include "grid/code_grid.h"
#include "sprites/sprite_strip.h"

#include <algorithm>

namespace korvane {

void CodeGrid::Render(SpriteStrip& strip) const {
    // Sequences may name cells past the grid's edge; only cells that exist are drawn.
    const int32_t left = std::max(redrawRegion.left, 0);
    const int32_t top = std::max(redrawRegion.top, 0);
    const int32_t right = std::min(redrawRegion.right, cols);
    const int32_t bottom = std::min(redrawRegion.bottom, rows);
    const int32_t cellWidth = CellWidthAt(cellScale);
    const int32_t cellHeight = CellHeightAt(cellScale);
    const int32_t bandHeight = kBandHeight * cellScale;
    for (int32_t r = top; r < bottom; ++r) {
        for (int32_t c = left; c < right; ++c) {
            const int32_t code = CellAt(c, r);
            const int32_t glyph = code >> 2;
            const int32_t level = code & 3;
            const int32_t sourceLeft = cellWidth * (glyph % kCellsPerSheetRow);
            const int32_t sourceTop = bandHeight * level + cellHeight * (glyph / kCellsPerSheetRow);
            strip.SetSourceRect(sourceLeft, sourceTop, sourceLeft + cellWidth,
                                sourceTop + cellHeight);
            strip.Draw(cellWidth * c, cellHeight * r);
        }
    }
}

}  // namespace korvane
