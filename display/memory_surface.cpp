#include "display/memory_surface.h"

#include <cstring>
#include <type_traits>
#include <typeinfo>

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

MemorySurface::MemorySurface(int32_t width, int32_t height, int32_t bytesPerPixel) {
    if (bytesPerPixel < 1 || bytesPerPixel > 4) {
        return;
    }
    this->bytesPerPixel = bytesPerPixel;
    if (width < 1 || height < 1 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) {
        return;
    }
    // At most 2^30 bytes, so the count fits a 32-bit size too.
    const uint64_t count = uint64_t{static_cast<uint32_t>(width)} * static_cast<uint32_t>(height) *
                           static_cast<uint32_t>(bytesPerPixel);
    bytes.assign(static_cast<size_t>(count), 0);
    this->width = width;
    this->height = height;
    pitch = width * bytesPerPixel;
}

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

namespace {

// Calls `copy` with the length of a row: as a constant of the type where it is a glyph cell's
// (16 pixels times the cell scale, 1 to 4, at 1 to 4 bytes a pixel), so that each row becomes a
// few vector moves instead of a call; as it is otherwise.
template <typename RowCopy>
void WithRowBytes(size_t rowBytes, RowCopy&& copy) {
    switch (rowBytes) {
        case 16:
            return copy(std::integral_constant<size_t, 16>{});
        case 32:
            return copy(std::integral_constant<size_t, 32>{});
        case 48:
            return copy(std::integral_constant<size_t, 48>{});
        case 64:
            return copy(std::integral_constant<size_t, 64>{});
        case 96:
            return copy(std::integral_constant<size_t, 96>{});
        case 128:
            return copy(std::integral_constant<size_t, 128>{});
        case 144:
            return copy(std::integral_constant<size_t, 144>{});
        case 192:
            return copy(std::integral_constant<size_t, 192>{});
        case 256:
            return copy(std::integral_constant<size_t, 256>{});
        default:
            return copy(rowBytes);
    }
}

void CopyRows(uint8_t* to, size_t toPitch, const uint8_t* from, size_t fromPitch, int32_t rows,
              size_t rowBytes) {
    WithRowBytes(rowBytes, [&](auto length) {
        for (int32_t row = 0; row < rows; ++row, to += toPitch, from += fromPitch) {
            std::memcpy(to, from, length);
        }
    });
}

// One pixel row of every copy of a band, then the next: the page is written in address order.
void CopyBand(uint8_t* to, size_t toPitch, const uint8_t* from, size_t fromPitch, int32_t rows,
              std::span<const BandCopy> copies, size_t bytesPerPixel, size_t rowBytes) {
    WithRowBytes(rowBytes, [&](auto length) {
        for (int32_t row = 0; row < rows; ++row, to += toPitch, from += fromPitch) {
            for (const BandCopy& copy : copies) {
                std::memcpy(to + static_cast<size_t>(copy.x) * bytesPerPixel,
                            from + static_cast<size_t>(copy.rect.top) * fromPitch +
                                static_cast<size_t>(copy.rect.left) * bytesPerPixel,
                            length);
            }
        }
    });
}

template <int32_t kBytesPerPixel>
void CopyKeyedRows(uint8_t* to, size_t toPitch, const uint8_t* from, size_t fromPitch, int32_t rows,
                   int32_t width, uint32_t key) {
    for (int32_t row = 0; row < rows; ++row, to += toPitch, from += fromPitch) {
        const uint8_t* pixel = from;
        uint8_t* target = to;
        for (int32_t column = 0; column < width;
             ++column, pixel += kBytesPerPixel, target += kBytesPerPixel) {
            uint32_t value = 0;
            for (int32_t i = 0; i < kBytesPerPixel; ++i) {
                value |= static_cast<uint32_t>(pixel[i]) << (8 * i);
            }
            if (value != key) {
                std::memcpy(target, pixel, kBytesPerPixel);
            }
        }
    }
}

}  // namespace

MemorySurface* MemorySurface::SourceOfMyFormat(Surface& sourceSurface) const {
    // Only memory surfaces of the same format meet here, as only DirectDraw surfaces of one
    // device meet in the saver. The class is final, so an exact type check suffices and costs
    // less than a cast through the hierarchy on this, the busiest call of a frame.
    if (typeid(sourceSurface) != typeid(MemorySurface)) {
        return nullptr;
    }
    auto* source = static_cast<MemorySurface*>(&sourceSurface);
    return source->Empty() || Empty() || source->bytesPerPixel != bytesPerPixel ? nullptr : source;
}

bool MemorySurface::Fits(const MemorySurface& source, int32_t x, int32_t y,
                         const PixelRect& rect) const {
    const int32_t w = rect.right - rect.left;
    const int32_t h = rect.bottom - rect.top;
    return w > 0 && h > 0 && rect.left >= 0 && rect.top >= 0 && rect.right <= source.width &&
           rect.bottom <= source.height && x >= 0 && y >= 0 && x <= width - w && y <= height - h;
}

DisplayResult MemorySurface::BltFast(int32_t x, int32_t y, Surface& sourceSurface,
                                     const PixelRect& rect, uint32_t flags) {
    MemorySurface* source = SourceOfMyFormat(sourceSurface);
    if (source == nullptr) {
        return kNoObject;
    }
    if (!Fits(*source, x, y, rect)) {
        return kInvalidRect;
    }
    const int32_t w = rect.right - rect.left;
    const int32_t h = rect.bottom - rect.top;
    const size_t fromPitch = static_cast<size_t>(source->pitch);
    const size_t toPitch = static_cast<size_t>(pitch);
    const uint8_t* from = source->bytes.data() + static_cast<size_t>(rect.top) * fromPitch +
                          static_cast<size_t>(rect.left) * static_cast<size_t>(bytesPerPixel);
    uint8_t* to = bytes.data() + static_cast<size_t>(y) * toPitch +
                  static_cast<size_t>(x) * static_cast<size_t>(bytesPerPixel);
    const bool keyed = (flags & kBltSourceColorKey) != 0 && source->hasColorKey;
    if (!keyed) {
        CopyRows(to, toPitch, from, fromPitch, h,
                 static_cast<size_t>(w) * static_cast<size_t>(bytesPerPixel));
        return kDisplayOk;
    }
    const uint32_t key = source->colorKey;
    switch (bytesPerPixel) {
        case 2:
            CopyKeyedRows<2>(to, toPitch, from, fromPitch, h, w, key);
            break;
        case 3:
            CopyKeyedRows<3>(to, toPitch, from, fromPitch, h, w, key);
            break;
        case 4:
            CopyKeyedRows<4>(to, toPitch, from, fromPitch, h, w, key);
            break;
        case 1:
            CopyKeyedRows<1>(to, toPitch, from, fromPitch, h, w, key);
            break;
        default:
            return kNoObject;  // no display has pixels of that size
    }
    return kDisplayOk;
}

DisplayResult MemorySurface::BltFastBand(int32_t y, Surface& sourceSurface,
                                         std::span<const BandCopy> copies, uint32_t flags) {
    if (copies.empty()) {
        return kDisplayOk;
    }
    // The band at once only for the common case of the glyph rows: opaque copies of one size
    // from another surface, every one of them fitting. Anything else takes the copies in turn,
    // with their own answers.
    const PixelRect& first = copies.front().rect;
    MemorySurface* source = SourceOfMyFormat(sourceSurface);
    bool whole = source != nullptr && source != this &&
                 ((flags & kBltSourceColorKey) == 0 || !source->hasColorKey);
    for (size_t i = 0; whole && i < copies.size(); ++i) {
        const PixelRect& rect = copies[i].rect;
        whole = rect.right - rect.left == first.right - first.left &&
                rect.bottom - rect.top == first.bottom - first.top &&
                Fits(*source, copies[i].x, y, rect);
    }
    if (!whole) {
        return Surface::BltFastBand(y, sourceSurface, copies, flags);
    }
    const size_t toPitch = static_cast<size_t>(pitch);
    CopyBand(bytes.data() + static_cast<size_t>(y) * toPitch, toPitch, source->bytes.data(),
             static_cast<size_t>(source->pitch), first.bottom - first.top, copies,
             static_cast<size_t>(bytesPerPixel),
             static_cast<size_t>(first.right - first.left) * static_cast<size_t>(bytesPerPixel));
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
