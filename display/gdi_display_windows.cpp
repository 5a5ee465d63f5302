#include "display/gdi_display_windows.h"

#include <memory>

#include "win32/scoped_handles_windows.h"

namespace korvane {

bool PresentPage(HDC dc, const MemorySurface& page) {
    if (dc == nullptr || page.Empty() || page.bytesPerPixel != 4) {
        return false;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = page.width;
    info.bmiHeader.biHeight = -page.height;  // rows top-down, as the page holds them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return SetDIBitsToDevice(
               dc, 0, 0, static_cast<DWORD>(page.width), static_cast<DWORD>(page.height), 0, 0, 0,
               static_cast<UINT>(page.height), page.bytes.data(), &info, DIB_RGB_COLORS) != 0;
}

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

GdiDisplay::GdiDisplay(HWND window, int32_t width, int32_t height)
    : window(window), pages(width, height, kGdiPageDepth) {}

DisplayResult GdiDisplay::FlipPages() {
    pages.FlipPages();
    Present();
    return kDisplayOk;
}

void GdiDisplay::ClearFlipClear() {
    pages.ClearFlipClear();
    Present();
}

void GdiDisplay::Present() const {
    const WindowDc dc(window);
    PresentPage(dc.get(), pages.primarySurface);
}

std::unique_ptr<GdiDisplay> SetUpGdiDisplay(HWND window, int32_t width, int32_t height,
                                            const IndexedBitmap* sheet, SpriteStrip& glyphStrip,
                                            SpriteStrip& cursorStrip) {
    auto display = std::make_unique<GdiDisplay>(window, width, height);
    SetUpMemoryDisplay(display->pages, sheet, glyphStrip, cursorStrip);
    display->Present();
    return display;
}

}  // namespace korvane
