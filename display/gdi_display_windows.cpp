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
                                            SpriteStrip& cursorStrip, int32_t cellScale) {
    auto display = std::make_unique<GdiDisplay>(window, width, height);
    SetUpMemoryDisplay(display->pages, sheet, glyphStrip, cursorStrip, cellScale);
    display->Present();
    return display;
}

}  // namespace korvane
