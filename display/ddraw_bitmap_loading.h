#pragma once

#include <windows.h>

#include <ddraw.h>

#include <cstdint>

#include "sprites/busy_budget.h"

namespace korvane {

// A bitmap name is a resource of the program (MAKEINTRESOURCEA(KORVANE_GLYPH_BITMAP)) or, where the
// program holds no such resource, a file path.

// A new off-screen surface holding the bitmap, owned by the caller; null on failure.
IDirectDrawSurface* LoadBitmapSurface(IDirectDraw* directDraw, const char* name, int32_t width,
                                      int32_t height);

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
