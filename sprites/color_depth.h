#pragma once

#include <cstdint>

namespace korvane {

// Bytes per pixel of the desktop's colour depth, for both worlds' pages. Depths that are not
// 16, 24 or 32 bits are treated as palette modes of one byte.
constexpr int32_t BytesPerPixelForDepth(int32_t depth) {
    switch (depth) {
        case 16:
            return 2;
        case 24:
            return 3;
        case 32:
            return 4;
        default:
            return 1;
    }
}

}  // namespace korvane
