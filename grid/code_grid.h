#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "grid/rain_column.h"
#include "grid/redraw_region.h"
#include "grid/show_random.h"

namespace korvane {

class SpriteStrip;

// The character grid every sequence writes into: cols x rows cell codes (glyph * 4 + level),
// the text cursor the writers leave behind, the code mode flag and one falling-code stream
// per column.
class CodeGrid {
  public:
    // Draws from `random`: 23 numbers per column for the default streams, then 3 + rows per
    // column when each stream is remade with the grid's height. `cellScale` is the factor
    // its cells are drawn at (see cell_geometry.h); it changes nothing else.
    CodeGrid(int32_t cols, int32_t rows, ShowRandom& random, int32_t cellScale = 1);
    virtual ~CodeGrid();

    CodeGrid(const CodeGrid&) = delete;
    CodeGrid& operator=(const CodeGrid&) = delete;

    bool SetCodeMode(bool on);
    int32_t GlyphCode(char character) const;
    void Fill();
    void ShiftRowsUp(int32_t start);
    void WriteRow(int32_t column, int32_t row, const char* text, int32_t level);
    void WriteColumn(int32_t column, int32_t row, const char* text, int32_t level);
    void WritePartial(int32_t column, int32_t row, const char* text, int32_t count, int32_t level);
    bool InGrid(int32_t column, int32_t row) const;
    void SetLevel(int32_t column, int32_t row, int32_t level);
    void AdvanceGlyph(int32_t column, int32_t row, int32_t amount);

    // One frame of the falling code. Limited runs count their frames in `rainFrameCount` and
    // finish on the 2501st consecutive call; unlimited calls never finish and reset the count.
    bool StepCodeRain(bool limited, int32_t& rainFrameCount, ShowRandom& random);

    // Copies every cell of the redraw region from the glyph sheet through `strip`, one copy
    // per cell from a sheet enlarged cellScale times, a row of cells to a band.
    void Render(SpriteStrip& strip) const;

    int32_t CellAt(int32_t column, int32_t row) const {
        return cells[static_cast<size_t>(row) * static_cast<size_t>(cols) +
                     static_cast<size_t>(column)];
    }

    static constexpr int32_t kRainFramesPerRun = 2500;

    std::string blankRow;  // as wide as the grid, for erasing a row
    int32_t cursorRow = 0;
    int32_t cursorColumn = 0;
    RedrawRegion redrawRegion;
    bool codeMode = false;
    std::vector<int32_t> cells;
    std::vector<RainColumn> streams;
    int32_t rows = 0;
    int32_t cols = 0;
    int32_t cellScale = 1;

  private:
    int32_t& Cell(int32_t column, int32_t row) {
        return cells[static_cast<size_t>(row) * static_cast<size_t>(cols) +
                     static_cast<size_t>(column)];
    }
};

}  // namespace korvane
