#include "frontend/memory_show.h"

#include "grid/cell_geometry.h"

namespace korvane {

void CreateShowGridForScreen(Show& show, int32_t width, int32_t height) {
    CreateShowGrid(show, width / kCellWidth, height / kCellHeight);
}

std::unique_ptr<MemoryDisplay> MakeShowPages(Show& show, int32_t width, int32_t height,
                                             const IndexedBitmap& sheet) {
    auto pages = std::make_unique<MemoryDisplay>(width, height, kMemoryShowDepth);
    SetUpMemoryDisplay(*pages, &sheet, show.glyphStrip, show.cursorStrip);
    return pages;
}

}  // namespace korvane
