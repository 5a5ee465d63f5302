#pragma once

#include <cstdint>
#include <memory>

#include "display/indexed_bitmap.h"
#include "display/memory_display.h"
#include "show/show.h"

namespace korvane {

// Native front ends draw at 32 bits: every page pixel is 0x00RRGGBB.
inline constexpr int32_t kMemoryShowDepth = 32;

// Memory pages of the screen's size with the glyph sheet, enlarged `cellScale` times, wired to
// the show's strips, as the saver sets up its display. The show's grid must be made at the
// same factor (CreateShowGridForScreen). The caller decides what stands in show.display.
std::unique_ptr<MemoryDisplay> MakeShowPages(Show& show, int32_t width, int32_t height,
                                             const IndexedBitmap& sheet, int32_t cellScale);

}  // namespace korvane
