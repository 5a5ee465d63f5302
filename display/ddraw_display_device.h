#pragma once

#include <windows.h>

#include <ddraw.h>

#include <cstdint>

#include "display/ddraw_surface.h"
#include "show/show_display.h"

namespace korvane {

// DirectDrawCreate's shape, so that tests can hand the device a creator that fails or
// returns a stand-in object.
using DirectDrawCreateFunction = HRESULT(WINAPI*)(GUID* driver, IDirectDraw** directDraw,
                                                  IUnknown* outer);

// The DirectDraw device of one full-screen run: exclusive cooperation with the saver window,
// a primary surface with one attached back buffer, a work surface, the glyph sheet's surface
// and, in 8-bit modes, a palette. It holds one reference each on `directDraw`,
// `primarySurface` and `spriteSurface` and releases exactly those; the rest end with the
// DirectDraw object.
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

  private:
    void ForgetLock();

    DirectDrawCreateFunction directDrawCreate_;
};

}  // namespace korvane
