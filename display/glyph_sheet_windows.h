#pragma once

#include <windows.h>

#include "display/indexed_bitmap.h"

namespace korvane {

// The glyph sheet from the program's bitmap resource of that name, or else from the bitmap
// file of that path; false when it cannot be found or decoded.
bool LoadGlyphSheet(HINSTANCE instance, const char* sheet, IndexedBitmap& out);

}  // namespace korvane
