#pragma once

#include <windows.h>

#include <ddraw.h>

#include <cstdint>

#include "display/ddraw_surface.h"
#include "sprites/show_display.h"

namespace korvane {

// DirectDrawCreate's shape, so that tests can hand the device a creator that fails or
// returns a stand-in object.
using DirectDrawCreateFunction = HRESULT(WINAPI*)(GUID* driver, IDirectDraw** directDraw,
                                                  IUnknown* outer);

// The DirectDraw device of one full-screen run: exclusive cooperation with the saver window,
// a primary surface with one attached back buffer, a work surface, the glyph sheet's surface
// and, in 8-bit modes, a palette. It releases every reference it took: the back buffer that
// GetAttachedSurface hands out counts as one, and a surface outlives the DirectDraw object
// that made it, so nothing ends with the DirectDraw object by itself. The sheet's surface,
// the work surface, the back buffer and the palette go before the primary surface, and the
// DirectDraw object goes last.
class DisplayDevice : public ShowDisplay {
  public:
    explicit DisplayDevice(DirectDrawCreateFunction directDrawCreate = &DirectDrawCreate);
    ~DisplayDevice() override;

    DisplayDevice(const DisplayDevice&) = delete;
    DisplayDevice& operator=(const DisplayDevice&) = delete;

    DisplayResult Create(HWND saverWindow);
    DisplayResult CreateSurfaces(int32_t width, int32_t height, int32_t depth);
    DisplayResult LockBackBuffer();
    DisplayResult UnlockBackBuffer();
    DisplayResult FlipPages() override;
    void ClearBackBuffer();
    void ClearFlipClear() override;

    DdrawSurface workSurface;
    HWND window = nullptr;
    IDirectDraw* directDraw = nullptr;
    DdrawSurface primarySurface;
    DdrawSurface backBuffer;
    DdrawSurface spriteSurface;
    IDirectDrawPalette* palette = nullptr;
    int32_t locked = 0;
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    int32_t lockedHeight = 0;
    int32_t lockedWidth = 0;
    int32_t bytesPerPixel = 0;
    // The factor the glyph sheet was enlarged by, which the grid's cells must be drawn at.
    int32_t cellScale = 1;

  private:
    void ForgetLock();
    // Releases what CreateSurfaces made, so that a second call does not leak the first.
    void ReleaseFlipChain();

    DirectDrawCreateFunction directDrawCreate_;
};

}  // namespace korvane
