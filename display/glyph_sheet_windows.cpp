#include "display/glyph_sheet_windows.h"

namespace korvane {

bool LoadGlyphSheet(HINSTANCE instance, const char* sheet, IndexedBitmap& out) {
    HRSRC found = FindResourceA(instance, sheet, MAKEINTRESOURCEA(2));  // RT_BITMAP
    HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return !IS_INTRESOURCE(sheet) && ReadBitmapFile(sheet, out);
    }
    return DecodePackedBitmap(static_cast<const uint8_t*>(bytes), SizeofResource(instance, found),
                              out);
}

}  // namespace korvane
