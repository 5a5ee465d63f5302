#include "grid/code_grid.h"

#include <algorithm>
#include <cstddef>

#include "grid/glyph_charset.h"

namespace korvane {

CodeGrid::CodeGrid(int32_t cols, int32_t rows, const char* message, ShowRandom& random)
    : rows(std::max(rows, 0)), cols(std::max(cols, 0)) {
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
    stepCounter = 0;
    redrawRegion = {0, 0, this->cols, this->rows};
    PrepareMessageLines(message == nullptr ? "" : message);
}

CodeGrid::~CodeGrid() {
    cols = 0;
    rows = 0;
}

void CodeGrid::PrepareMessageLines(const char* message) {
    messageLines.clear();
    if (message[0] == '\0') {
        messageLineCount = -1;
    } else {
        // Carriage returns vanish; line feeds end lines; empty lines are dropped. The table
        // points into our own copy, with each line feed replaced by its terminator.
        messageCopy_.clear();
        for (const char* p = message; *p != '\0'; ++p) {
            if (*p != '\r') {
                messageCopy_.push_back(*p == '\n' ? '\0' : *p);
            }
        }
        messageCopy_.push_back('\0');
        for (size_t i = 0; i < messageCopy_.size(); ++i) {
            if (messageCopy_[i] != '\0' && (i == 0 || messageCopy_[i - 1] == '\0')) {
                messageLines.push_back(messageCopy_.c_str() + i);
            }
        }
        messageLineCount = static_cast<int32_t>(messageLines.size());
    }
    blankRow.assign(static_cast<size_t>(cols), ' ');
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
