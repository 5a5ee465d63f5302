#include "display/ddraw_bitmap_loading.h"

#include <array>
#include <cstring>
#include <utility>

#include "sprites/palette_ramp.h"
#include "sprites/surface.h"
#include "win32/scoped_handles_windows.h"

namespace korvane {

namespace {

constexpr COLORREF kNoColor = CLR_INVALID;

DDSURFACEDESC EmptyDescription() {
    DDSURFACEDESC description;
    std::memset(&description, 0, sizeof(description));
    description.dwSize = sizeof(DDSURFACEDESC);
    return description;
}

// Lays the colour table of a packed bitmap from the program's resources over the table.
void TakeResourceColors(HRSRC found, PaletteTable& table) {
    HGLOBAL loaded = LoadResource(nullptr, found);
    const auto* packed = static_cast<const uint8_t*>(LockResource(loaded));
    if (packed == nullptr) {
        OutputDebugStringA("lock resource failed\n");
        return;
    }
    const size_t size = SizeofResource(nullptr, found);
    if (size < sizeof(BITMAPINFOHEADER)) {
        return;
    }
    BITMAPINFOHEADER header;
    std::memcpy(&header, packed, sizeof(header));
    uint32_t count = ColorTableCount(header.biSize, header.biBitCount, header.biClrUsed, false);
    // A header that promises more colours than the resource holds is read only as far as
    // the resource goes.
    const size_t available = size > header.biSize ? (size - header.biSize) / 4 : 0;
    if (count > available) {
        count = static_cast<uint32_t>(available);
    }
    const uint8_t* colors = packed + header.biSize;
    for (uint32_t i = 0; i < count; ++i) {
        table[i] = {colors[4 * i + 2], colors[4 * i + 1], colors[4 * i], 0};
    }
}

// Reads the colour table of a bitmap file straight after its 54 header bytes.
void TakeFileColors(const char* path, PaletteTable& table) {
    const HFILE file = _lopen(path, OF_READ);
    if (file == HFILE_ERROR) {
        return;
    }
    BITMAPFILEHEADER fileHeader;
    BITMAPINFOHEADER header;
    std::memset(&header, 0, sizeof(header));
    _lread(file, &fileHeader, sizeof(fileHeader));
    _lread(file, &header, sizeof(header));
    // Where the file ends early the rest of the table keeps the ramp.
    _lread(file, table.data(), sizeof(PaletteEntry) * table.size());
    _lclose(file);
    const uint32_t count =
        ColorTableCount(header.biSize, header.biBitCount, header.biClrUsed, true);
    for (uint32_t i = 0; i < count; ++i) {
        std::swap(table[i].red, table[i].blue);
    }
}

}  // namespace

IDirectDrawSurface* LoadBitmapSurface(IDirectDraw* directDraw, const char* name, int32_t width,
                                      int32_t height) {
    if (directDraw == nullptr) {
        return nullptr;
    }
    auto* bitmapHandle = static_cast<HBITMAP>(LoadImageA(
        GetModuleHandleA(nullptr), name, IMAGE_BITMAP, width, height, LR_CREATEDIBSECTION));
    if (bitmapHandle == nullptr && !IS_INTRESOURCE(name)) {
        bitmapHandle = static_cast<HBITMAP>(LoadImageA(nullptr, name, IMAGE_BITMAP, width, height,
                                                       LR_CREATEDIBSECTION | LR_LOADFROMFILE));
    }
    if (bitmapHandle == nullptr) {
        return nullptr;
    }
    const GdiObject<HBITMAP> bitmap(bitmapHandle);
    BITMAP info;
    std::memset(&info, 0, sizeof(info));
    GetObjectA(bitmap.get(), sizeof(info), &info);
    DDSURFACEDESC description = EmptyDescription();
    description.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    description.dwWidth = static_cast<DWORD>(info.bmWidth);
    description.dwHeight = static_cast<DWORD>(info.bmHeight);
    IDirectDrawSurface* surface = nullptr;
    if (directDraw->CreateSurface(&description, &surface, nullptr) != DD_OK) {
        return nullptr;
    }
    CopyBitmapToSurface(surface, bitmap.get(), 0, 0, 0, 0);
    return surface;
}

HRESULT CopyBitmapToSurface(IDirectDrawSurface* surface, HBITMAP bitmap, int32_t x, int32_t y,
                            int32_t width, int32_t height) {
    if (bitmap == nullptr || surface == nullptr) {
        return E_FAIL;
    }
    surface->Restore();
    const MemoryDc memoryDc;
    if (memoryDc.get() == nullptr) {
        OutputDebugStringA("createcompatible dc failed\n");
    }
    const SelectedObject selected(memoryDc.get(), bitmap);
    BITMAP info;
    std::memset(&info, 0, sizeof(info));
    GetObjectA(bitmap, sizeof(info), &info);
    if (width == 0) {
        width = info.bmWidth;
    }
    if (height == 0) {
        height = info.bmHeight;
    }
    DDSURFACEDESC description = EmptyDescription();
    description.dwFlags = DDSD_HEIGHT | DDSD_WIDTH;
    surface->GetSurfaceDesc(&description);
    const SurfaceDc surfaceDc(surface);
    if (surfaceDc.result() != DD_OK) {
        return surfaceDc.result();
    }
    StretchBlt(surfaceDc.get(), 0, 0, static_cast<int>(description.dwWidth),
               static_cast<int>(description.dwHeight), memoryDc.get(), x, y, width, height,
               SRCCOPY);
    return DD_OK;
}

IDirectDrawPalette* LoadPalette(IDirectDraw* directDraw, const char* name) {
    if (directDraw == nullptr) {
        return nullptr;
    }
    PaletteTable table = DefaultPaletteRamp();
    if (name != nullptr) {
        HRSRC found = FindResourceA(nullptr, name, reinterpret_cast<LPCSTR>(RT_BITMAP));
        if (found != nullptr) {
            TakeResourceColors(found, table);
        } else if (!IS_INTRESOURCE(name)) {
            TakeFileColors(name, table);
        }
    }
    std::array<PALETTEENTRY, 256> entries;
    static_assert(sizeof(entries) == sizeof(table));
    std::memcpy(entries.data(), table.data(), sizeof(entries));
    IDirectDrawPalette* palette = nullptr;
    if (directDraw->CreatePalette(DDPCAPS_8BIT, entries.data(), &palette, nullptr) != DD_OK) {
        return nullptr;
    }
    return palette;
}

uint32_t MatchColor(IDirectDrawSurface* surface, COLORREF color, BusyBudget& budget) {
    if (surface == nullptr) {
        return 0xFFFFFFFFu;
    }
    COLORREF kept = kNoColor;
    bool keptPixel = false;
    if (color != kNoColor) {
        const SurfaceDc dc(surface);
        if (dc.get() != nullptr) {
            kept = GetPixel(dc.get(), 0, 0);
            keptPixel = true;
            SetPixel(dc.get(), 0, 0, color);
        }
    }
    DDSURFACEDESC description = EmptyDescription();
    static_assert(kWasStillDrawing == DDERR_WASSTILLDRAWING);
    const HRESULT result = budget.RetryWhileStillDrawing(
        [&]() -> DisplayResult { return surface->Lock(nullptr, &description, 0, nullptr); });
    uint32_t value = 0xFFFFFFFFu;
    if (result == DD_OK) {
        uint32_t first = 0;
        // The first pixel may be narrower than 32 bits; only its own bytes are read.
        const uint32_t bits = description.ddpfPixelFormat.dwRGBBitCount;
        const size_t bytes = bits >= 32 || bits == 0 ? 4 : (bits + 7) / 8;
        std::memcpy(&first, description.lpSurface, bytes);
        value = bits >= 32 ? first : first & ((1u << bits) - 1u);
        surface->Unlock(nullptr);
    }
    if (keptPixel) {
        const SurfaceDc dc(surface);
        if (dc.get() != nullptr) {
            SetPixel(dc.get(), 0, 0, kept);
        }
    }
    return value;
}

HRESULT SetSourceColorKey(IDirectDrawSurface* surface, COLORREF color, BusyBudget& budget) {
    if (surface == nullptr) {
        return kNoObject;
    }
    const uint32_t key = MatchColor(surface, color, budget);
    DDCOLORKEY colorKey{key, key};
    return surface->SetColorKey(DDCKEY_SRCBLT, &colorKey);
}

}  // namespace korvane
