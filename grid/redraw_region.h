#pragma once

#include <cstdint>

namespace korvane {

// Cells a sequence changed this frame; right and bottom are exclusive.
struct RedrawRegion {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

}  // namespace korvane
