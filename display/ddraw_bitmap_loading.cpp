#include "display/ddraw_bitmap_loading.h"

#include <array>
#include <cstring>
#include <utility>

#include "display/glyph_sheet_windows.h"
#include "display/indexed_bitmap.h"
#include "sprites/cell_scale.h"
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

// An 8-bit DIB section of the picture with its colour table; null when GDI refuses one.
HBITMAP IndexedDibSection(const IndexedBitmap& bitmap) {
    struct {
        BITMAPINFOHEADER header;
        std::array<RGBQUAD, 256> colors;
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = bitmap.width;
    info.header.biHeight = -bitmap.height;  // rows top-down, as the picture holds them
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = static_cast<DWORD>(bitmap.colorCount);
    for (size_t i = 0; i < info.colors.size(); ++i) {
        const PaletteColor& color = bitmap.colors[i];
        info.colors[i] = {color.blue, color.green, color.red, 0};
    }
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info),
                                       DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section == nullptr || bits == nullptr) {
        return section;
    }
    const auto width = static_cast<size_t>(bitmap.width);
    const size_t stride = (width + 3) & ~static_cast<size_t>(3);
    for (int32_t y = 0; y < bitmap.height; ++y) {
        std::memcpy(static_cast<uint8_t*>(bits) + static_cast<size_t>(y) * stride,
                    bitmap.indices.data() + static_cast<size_t>(y) * width, width);
    }
    GdiFlush();
    return section;
}

}  // namespace

SheetSurface LoadSheetSurface(IDirectDraw* directDraw, const char* name, int32_t cellScale) {
    SheetSurface made{nullptr, ClampCellScale(cellScale)};
    IndexedBitmap sheet;
    if (directDraw == nullptr || !LoadGlyphSheet(GetModuleHandleA(nullptr), name, sheet)) {
        return made;
    }
    for (int32_t scale = made.cellScale; scale >= 1 && made.surface == nullptr; --scale) {
        DDSURFACEDESC description = EmptyDescription();
        description.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
        description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        description.dwWidth = static_cast<DWORD>(sheet.width * scale);
        description.dwHeight = static_cast<DWORD>(sheet.height * scale);
        IDirectDrawSurface* surface = nullptr;
        if (directDraw->CreateSurface(&description, &surface, nullptr) == DD_OK) {
            made = {surface, scale};
        }
    }
    if (made.surface == nullptr) {
        made.cellScale = ClampCellScale(cellScale);
        return made;
    }
    // GDI converts the sheet's colours to the surface's format, as it does for any bitmap.
    const GdiObject<HBITMAP> bitmap(made.cellScale == 1
                                        ? IndexedDibSection(sheet)
                                        : IndexedDibSection(EnlargeBitmap(sheet, made.cellScale)));
    CopyBitmapToSurface(made.surface, bitmap.get(), 0, 0, 0, 0);
    return made;
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
