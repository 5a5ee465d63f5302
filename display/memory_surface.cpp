#include "display/memory_surface.h"

#include <cstring>

namespace korvane {

uint32_t EncodePixel(const PaletteColor& color, uint8_t index, int32_t bytesPerPixel) {
    switch (bytesPerPixel) {
        case 2:
            return static_cast<uint32_t>((color.red >> 3) << 11 | (color.green >> 2) << 5 |
                                         (color.blue >> 3));
        case 3:
        case 4:
            return static_cast<uint32_t>(color.red) << 16 |
                   static_cast<uint32_t>(color.green) << 8 | color.blue;
        default:
            return index;
    }
}

MemorySurface::MemorySurface(int32_t width, int32_t height, int32_t bytesPerPixel)
    : width(width),
      height(height),
      bytesPerPixel(bytesPerPixel),
      pitch(width * bytesPerPixel),
      bytes(static_cast<size_t>(width) * static_cast<size_t>(height) *
                static_cast<size_t>(bytesPerPixel),
            0) {}

uint32_t MemorySurface::PixelAt(int32_t x, int32_t y) const {
    const uint8_t* p = bytes.data() + static_cast<size_t>(y) * static_cast<size_t>(pitch) +
                       static_cast<size_t>(x) * static_cast<size_t>(bytesPerPixel);
    uint32_t value = 0;
    for (int32_t i = 0; i < bytesPerPixel; ++i) {
        value |= static_cast<uint32_t>(p[i]) << (8 * i);
    }
    return value;
}

void MemorySurface::SetPixel(int32_t x, int32_t y, uint32_t value) {
    uint8_t* p = bytes.data() + static_cast<size_t>(y) * static_cast<size_t>(pitch) +
                 static_cast<size_t>(x) * static_cast<size_t>(bytesPerPixel);
    for (int32_t i = 0; i < bytesPerPixel; ++i) {
        p[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

void MemorySurface::Fill(uint32_t value) {
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            SetPixel(x, y, value);
        }
    }
}

DisplayResult MemorySurface::BltFast(int32_t x, int32_t y, Surface& sourceSurface,
                                     const PixelRect& rect, uint32_t flags) {
    // Only memory surfaces of the same format meet here, as only DirectDraw surfaces of one
    // device meet in the saver.
    auto* source = dynamic_cast<MemorySurface*>(&sourceSurface);
    if (source == nullptr || source->Empty() || Empty() || source->bytesPerPixel != bytesPerPixel) {
        return kNoObject;
    }
    const int32_t w = rect.right - rect.left;
    const int32_t h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0 || rect.left < 0 || rect.top < 0 || rect.right > source->width ||
        rect.bottom > source->height || x < 0 || y < 0 || x > width - w || y > height - h) {
        return kInvalidRect;
    }
    const size_t rowBytes = static_cast<size_t>(w) * static_cast<size_t>(bytesPerPixel);
    const bool keyed = (flags & kBltSourceColorKey) != 0 && source->hasColorKey;
    for (int32_t row = 0; row < h; ++row) {
        const uint8_t* from = source->bytes.data() +
                              static_cast<size_t>(rect.top + row) * source->pitch +
                              static_cast<size_t>(rect.left) * bytesPerPixel;
        uint8_t* to = bytes.data() + static_cast<size_t>(y + row) * pitch +
                      static_cast<size_t>(x) * bytesPerPixel;
        if (!keyed) {
            std::memcpy(to, from, rowBytes);
            continue;
        }
        for (int32_t column = 0; column < w; ++column) {
            const uint8_t* pixel = from + static_cast<size_t>(column) * bytesPerPixel;
            uint32_t value = 0;
            for (int32_t i = 0; i < bytesPerPixel; ++i) {
                value |= static_cast<uint32_t>(pixel[i]) << (8 * i);
            }
            if (value != source->colorKey) {
                std::memcpy(to + static_cast<size_t>(column) * bytesPerPixel, pixel,
                            static_cast<size_t>(bytesPerPixel));
            }
        }
    }
    return kDisplayOk;
}

MemorySurface SurfaceFromBitmap(const IndexedBitmap& bitmap, int32_t bytesPerPixel) {
    MemorySurface surface(bitmap.width, bitmap.height, bytesPerPixel);
    for (int32_t y = 0; y < bitmap.height; ++y) {
        for (int32_t x = 0; x < bitmap.width; ++x) {
            const uint8_t index = bitmap.IndexAt(x, y);
            surface.SetPixel(x, y, EncodePixel(bitmap.colors[index], index, bytesPerPixel));
        }
    }
    return surface;
}

}  // namespace korvane
