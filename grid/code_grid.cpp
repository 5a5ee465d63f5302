#include "grid/code_grid.h"

#include <algorithm>
#include <cstddef>

#include "grid/glyph_charset.h"
#include "sprites/cell_scale.h"

namespace korvane {

CodeGrid::CodeGrid(int32_t cols, int32_t rows, ShowRandom& random, int32_t cellScale)
    : rows(std::max(rows, 0)), cols(std::max(cols, 0)), cellScale(ClampCellScale(cellScale)) {
    cells.assign(static_cast<size_t>(this->cols) * static_cast<size_t>(this->rows), kBlankCellCode);
    streams.reserve(static_cast<size_t>(this->cols));
    for (int32_t c = 0; c < this->cols; ++c) {
        streams.emplace_back(random);
    }
    for (RainColumn& stream : streams) {
        stream.Remake(this->rows, random);
    }
    codeMode = false;
    Fill();
    redrawRegion = {0, 0, this->cols, this->rows};
    blankRow.assign(static_cast<size_t>(this->cols), ' ');
}

CodeGrid::~CodeGrid() {
    cols = 0;
    rows = 0;
}

bool CodeGrid::SetCodeMode(bool on) {
    const bool previous = codeMode;
    codeMode = on;
    return previous;
}

int32_t CodeGrid::GlyphCode(char character) const {
    const int32_t index = GlyphCharsetIndex(character);
    const int32_t glyph =
        (codeMode && index > 0) ? ((index - 1) % kCodeSymbolCount) + 1 : kFirstTextGlyph + index;
    return glyph * 4;
}

void CodeGrid::Fill() {
    std::fill(cells.begin(), cells.end(), kBlankCellCode);
}

void CodeGrid::ShiftRowsUp(int32_t start) {
    if (start < 0 || start >= rows - 1) {
        return;
    }
    const auto width = static_cast<std::ptrdiff_t>(cols);
    std::copy(cells.begin() + (start + 1) * width, cells.end(), cells.begin() + start * width);
}

bool CodeGrid::InGrid(int32_t column, int32_t row) const {
    return column >= 0 && column < cols && row >= 0 && row < rows;
}

void CodeGrid::WriteRow(int32_t column, int32_t row, const char* text, int32_t level) {
    WritePartial(column, row, text, INT32_MAX, level);
}

void CodeGrid::WritePartial(int32_t column, int32_t row, const char* text, int32_t count,
                            int32_t level) {
    if (!InGrid(column, row) || count < 1) {
        return;
    }
    for (int32_t written = 0; text[written] != '\0' && column < cols && written < count;
         ++written) {
        Cell(column, row) = GlyphCode(text[written]) + level;
        ++column;
    }
    cursorColumn = column;
    cursorRow = row;
}

void CodeGrid::WriteColumn(int32_t column, int32_t row, const char* text, int32_t level) {
    if (!InGrid(column, row)) {
        return;
    }
    for (const char* p = text; *p != '\0' && row < rows; ++p) {
        Cell(column, row) = GlyphCode(*p) + level;
        ++row;
    }
    cursorColumn = column;
    cursorRow = row;
}

void CodeGrid::SetLevel(int32_t column, int32_t row, int32_t level) {
    if (InGrid(column, row)) {
        int32_t& cell = Cell(column, row);
        cell = (cell & 0xfffc) + level;
    }
}

void CodeGrid::AdvanceGlyph(int32_t column, int32_t row, int32_t amount) {
    if (InGrid(column, row)) {
        int32_t& cell = Cell(column, row);
        cell = (cell + amount) % kCodeSymbolCount;
    }
}

}  // namespace korvane
