#include "frontend/memory_show.h"

namespace korvane {

std::unique_ptr<MemoryDisplay> MakeShowPages(Show& show, int32_t width, int32_t height,
                                             const IndexedBitmap& sheet, int32_t cellScale) {
    auto pages = std::make_unique<MemoryDisplay>(width, height, kMemoryShowDepth);
    SetUpMemoryDisplay(*pages, &sheet, show.glyphStrip, show.cursorStrip, cellScale);
    return pages;
}

}  // namespace korvane
