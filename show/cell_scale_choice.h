#pragma once

#include <cstdint>

#include "settings/show_settings.h"
#include "sprites/cell_scale.h"

namespace korvane {

static_assert(kLargestGlyphScale == kLargestCellScale,
              "every fixed glyph size of the settings is a factor the displays can draw");

// The factor a monitor of `monitorDpi` dots per inch is drawn at under the user's glyph size:
// the fixed one, or the DPI's own where the choice is automatic or not a known size.
constexpr int32_t ChooseCellScale(int32_t glyphScale, int32_t monitorDpi) {
    return glyphScale >= kSmallestCellScale && glyphScale <= kLargestGlyphScale
               ? glyphScale
               : CellScaleForDpi(monitorDpi);
}

}  // namespace korvane
