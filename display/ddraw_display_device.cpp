#include "display/ddraw_display_device.h"

#include <array>
#include <cstring>

#include "sprites/color_depth.h"
#include "sprites/palette_ramp.h"

namespace korvane {

namespace {

DDSURFACEDESC EmptyDescription() {
    DDSURFACEDESC description;
    std::memset(&description, 0, sizeof(description));
    description.dwSize = sizeof(DDSURFACEDESC);
    return description;
}

template <typename Object>
void ReleaseReference(Object*& object) {
    if (object != nullptr) {
        object->Release();
        object = nullptr;
    }
}

}  // namespace

DisplayDevice::DisplayDevice(DirectDrawCreateFunction directDrawCreate)
    : directDrawCreate_(directDrawCreate) {}

DisplayDevice::~DisplayDevice() {
    ReleaseReference(spriteSurface.object);
    ReleaseFlipChain();
    ReleaseReference(directDraw);
}

void DisplayDevice::ReleaseFlipChain() {
    ReleaseReference(workSurface.object);
    ReleaseReference(backBuffer.object);
    ReleaseReference(palette);
    ReleaseReference(primarySurface.object);
}

DisplayResult DisplayDevice::Create(HWND saverWindow) {
    const HRESULT created = directDrawCreate_(nullptr, &directDraw, nullptr);
    if (created != DD_OK) {
        directDraw = nullptr;
        return created;
    }
    window = saverWindow;
    return directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
}

DisplayResult DisplayDevice::CreateSurfaces(int32_t width, int32_t height, int32_t depth) {
    if (directDraw == nullptr) {
        return kNoObject;
    }
    ReleaseFlipChain();
    DDSURFACEDESC flipChain = EmptyDescription();
    flipChain.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    flipChain.dwBackBufferCount = 1;
    flipChain.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    HRESULT result = directDraw->CreateSurface(&flipChain, &primarySurface.object, nullptr);
    if (result != DD_OK) {
        primarySurface.object = nullptr;
        return result;
    }
    DDSCAPS backCaps{DDSCAPS_BACKBUFFER};
    result = primarySurface.object->GetAttachedSurface(&backCaps, &backBuffer.object);
    if (result != DD_OK) {
        backBuffer.object = nullptr;
        return result;
    }
    DDSURFACEDESC work = EmptyDescription();
    work.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    work.dwWidth = static_cast<DWORD>(width);
    work.dwHeight = static_cast<DWORD>(height);
    work.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    result = directDraw->CreateSurface(&work, &workSurface.object, nullptr);
    if (result != DD_OK) {
        workSurface.object = nullptr;
        return result;
    }
    // The front page and the work surface take their memory now, before any flip; the back
    // page takes it at the clear that precedes the first flip (see the display set-up for
    // why no surface may first be touched between two flips).
    for (IDirectDrawSurface* surface : {primarySurface.object, workSurface.object}) {
        DDSURFACEDESC touched = EmptyDescription();
        if (surface->Lock(nullptr, &touched, DDLOCK_WAIT, nullptr) == DD_OK) {
            surface->Unlock(nullptr);
        }
    }
    if (depth == 8) {
        // A stand-in until the set-up attaches the glyph sheet's own colours.
        const PaletteTable ramp = DefaultPaletteRamp();
        std::array<PALETTEENTRY, 256> entries;
        std::memcpy(entries.data(), ramp.data(), sizeof(entries));
        IDirectDrawPalette* created = nullptr;
        result = directDraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries.data(),
                                           &created, nullptr);
        if (result != DD_OK) {
            return result;
        }
        palette = created;
        result = primarySurface.object->SetPalette(palette);
        bytesPerPixel = 1;
        return result;
    }
    bytesPerPixel = BytesPerPixelForDepth(depth);
    return DD_OK;
}

void DisplayDevice::ForgetLock() {
    locked = 0;
    pixels = nullptr;
    pitch = 0;
    lockedHeight = 0;
    lockedWidth = 0;
}

DisplayResult DisplayDevice::LockBackBuffer() {
    if (backBuffer.object == nullptr) {
        ForgetLock();
        return kNoObject;
    }
    DDSURFACEDESC description = EmptyDescription();
    HRESULT result = backBuffer.object->Lock(nullptr, &description, DDLOCK_WAIT, nullptr);
    if (result == DDERR_SURFACELOST) {
        const HRESULT restored = primarySurface.object != nullptr ? primarySurface.object->Restore()
                                                                  : static_cast<HRESULT>(kNoObject);
        if (restored != DD_OK) {
            ForgetLock();
            return restored;
        }
        description = EmptyDescription();
        result = backBuffer.object->Lock(nullptr, &description, DDLOCK_WAIT, nullptr);
    }
    if (result != DD_OK) {
        ForgetLock();
        return result;
    }
    pixels = static_cast<uint8_t*>(description.lpSurface);
    pitch = description.lPitch;
    lockedWidth = static_cast<int32_t>(description.dwWidth);
    lockedHeight = static_cast<int32_t>(description.dwHeight);
    locked = 1;
    return DD_OK;
}

DisplayResult DisplayDevice::UnlockBackBuffer() {
    if (backBuffer.object == nullptr) {
        return kNoObject;
    }
    const HRESULT result = backBuffer.object->Unlock(pixels);
    if (result == DD_OK) {
        ForgetLock();
    }
    return result;
}

DisplayResult DisplayDevice::FlipPages() {
    if (primarySurface.object == nullptr) {
        return kNoObject;
    }
    return primarySurface.object->Flip(nullptr, DDFLIP_WAIT);
}

void DisplayDevice::ClearBackBuffer() {
    LockBackBuffer();
    if (locked == 0) {
        return;
    }
    // A depth that claims more bytes than a row holds must not write into the next row or
    // past the surface's end.
    size_t rowBytes = static_cast<size_t>(lockedWidth) * static_cast<size_t>(bytesPerPixel);
    const size_t rowPitch = static_cast<size_t>(pitch < 0 ? -pitch : pitch);
    if (rowBytes > rowPitch) {
        rowBytes = rowPitch;
    }
    for (int32_t row = 0; row < lockedHeight; ++row) {
        std::memset(pixels + static_cast<ptrdiff_t>(row) * pitch, 0, rowBytes);
    }
    UnlockBackBuffer();
}

void DisplayDevice::ClearFlipClear() {
    ClearBackBuffer();
    FlipPages();
    ClearBackBuffer();
}

}  // namespace korvane
