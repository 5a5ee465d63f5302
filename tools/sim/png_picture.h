#pragma once

#include <cstdio>

#include "display/memory_surface.h"

namespace korvane {

// Writes a 24- or 32-bit memory surface (pixel values 0x00RRGGBB) as an 8-bit RGB PNG of the
// surface's size. False for other depths and when writing fails.
bool WriteSurfacePng(std::FILE* out, const MemorySurface& surface);

}  // namespace korvane
