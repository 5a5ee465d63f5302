#pragma once

#include <windows.h>

#include <ddraw.h>

#include <cstdint>

#include "sprites/busy_budget.h"

namespace korvane {

// A bitmap name is a resource of the program (MAKEINTRESOURCEA(KORVANE_GLYPH_BITMAP)) or, where the
// program holds no such resource, a file path.

// The glyph sheet's surface and the factor its pixels were repeated by.
struct SheetSurface {
    IDirectDrawSurface* surface = nullptr;  // owned by the caller; null when none was made
    int32_t cellScale = 1;
};

// A new off-screen surface holding the sheet enlarged `cellScale` times (1 to 4) by pixel
// repetition. Where a surface of that size cannot be created, each smaller factor is tried in
// turn, down to 1. Without any surface, or without a readable sheet, the answer holds no
// surface and the factor asked for.
SheetSurface LoadSheetSurface(IDirectDraw* directDraw, const char* name, int32_t cellScale);

// Stretches the bitmap's (x, y, width, height) over the whole surface; 0 as width or height
// takes the bitmap's own.
HRESULT CopyBitmapToSurface(IDirectDrawSurface* surface, HBITMAP bitmap, int32_t x, int32_t y,
                            int32_t width, int32_t height);

// A DirectDraw palette of the default ramp with the bitmap's colour table laid over it; null
// if the palette cannot be created.
IDirectDrawPalette* LoadPalette(IDirectDraw* directDraw, const char* name);

// The surface's pixel value for a GDI colour, found by writing the colour at (0, 0) and
// reading it back; CLR_INVALID reads the pixel as it is. 0xFFFFFFFF when it cannot lock,
// a lock still drawing once `budget` is spent included.
uint32_t MatchColor(IDirectDrawSurface* surface, COLORREF color, BusyBudget& budget);

HRESULT SetSourceColorKey(IDirectDrawSurface* surface, COLORREF color, BusyBudget& budget);

}  // namespace korvane
