#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "display/glyph_sheet_windows.h"
#include "display/indexed_bitmap.h"
#include "display/memory_display.h"
#include "display/memory_surface.h"

namespace korvane {

class SpriteStrip;

// Every page drawn for GDI holds 0x00RRGGBB pixels; GDI converts them to the desktop's depth.
inline constexpr int32_t kGdiPageDepth = 32;

// Puts a page of 4 bytes per pixel on `dc` with its top-left corner at the origin.
// False when the page is empty or of another depth, or when GDI refuses it.
bool PresentPage(HDC dc, const MemorySurface& page);

// The show's display where DirectDraw cannot be had: the memory flip chain at 32 bits per
// pixel, its shown page put on the window with GDI at every flip.
class GdiDisplay final : public ShowDisplay {
  public:
    GdiDisplay(HWND window, int32_t width, int32_t height);

    DisplayResult FlipPages() override;
    void ClearFlipClear() override;
    // Puts the shown page on the window again (after it was painted over).
    void Present() const;

    HWND window;
    MemoryDisplay pages;
};

// A GDI display of `width` x `height` for `window`, the glyph sheet enlarged `cellScale` times
// and wired to both strips as the DirectDraw set-up does (the factor it drew at is
// pages.cellScale); without a sheet the strips draw nothing and the screen stays black.
std::unique_ptr<GdiDisplay> SetUpGdiDisplay(HWND window, int32_t width, int32_t height,
                                            const IndexedBitmap* sheet, SpriteStrip& glyphStrip,
                                            SpriteStrip& cursorStrip, int32_t cellScale = 1);

}  // namespace korvane
