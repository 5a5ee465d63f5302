#pragma once

#include <cstdint>
#include <cstdio>

#include "grid/code_grid.h"
#include "show/show_event_log.h"

namespace korvane {

// FNV-1a (64-bit) over every cell code as four little-endian bytes, row by row.
uint64_t HashCells(const CodeGrid& grid);

// One JSON object per frame, on one line, keys in a fixed order.
void WriteTraceLine(std::FILE* out, int32_t frame, int32_t state, const CodeGrid& grid,
                    const ShowEventLog& log);

}  // namespace korvane
