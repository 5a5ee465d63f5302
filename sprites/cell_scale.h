#pragma once

#include <cstdint>

namespace korvane {

// High-density screens draw every pixel of the design as a square of `scale` x `scale` screen
// pixels: the cells, the glyph sheet and the cursor frames all grow by that whole factor.
inline constexpr int32_t kSmallestCellScale = 1;
inline constexpr int32_t kLargestCellScale = 4;

// A factor inside the range every display can draw.
constexpr int32_t ClampCellScale(int32_t scale) {
    return scale < kSmallestCellScale  ? kSmallestCellScale
           : scale > kLargestCellScale ? kLargestCellScale
                                       : scale;
}

// The factor for a screen of `dpi` dots per inch: the nearest whole multiple of 96 DPI, halves
// rounded up, so that 96 and 120 keep the design's size and 144 and 192 double it.
constexpr int32_t CellScaleForDpi(int32_t dpi) {
    constexpr int32_t kDesignDpi = 96;
    // Outside this range the sum could overflow or round towards zero from below.
    if (dpi < kDesignDpi / 2) {
        return kSmallestCellScale;
    }
    if (dpi >= kDesignDpi * kLargestCellScale) {
        return kLargestCellScale;
    }
    return ClampCellScale((dpi + kDesignDpi / 2) / kDesignDpi);
}

}  // namespace korvane
