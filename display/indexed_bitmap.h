#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvane {

struct PaletteColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

// An 8-bit picture with its colour table, rows top-down.
struct IndexedBitmap {
    int32_t width = 0;
    int32_t height = 0;
    int32_t colorCount = 0;
    std::array<PaletteColor, 256> colors{};
    std::vector<uint8_t> indices;

    uint8_t IndexAt(int32_t x, int32_t y) const {
        return indices[static_cast<size_t>(y) * static_cast<size_t>(width) +
                       static_cast<size_t>(x)];
    }
};

// Decodes a bitmap file of 8 bits per pixel, plain or RLE8 compressed. Returns false for
// anything else and for damaged data: it never reads or writes outside the given bytes or
// the picture.
bool DecodeBitmapFile(const uint8_t* bytes, size_t size, IndexedBitmap& out);

// Decodes a packed bitmap of 8 bits per pixel (what a bitmap resource holds: the file's
// contents without its file header), with the same checks.
bool DecodePackedBitmap(const uint8_t* bytes, size_t size, IndexedBitmap& out);

// Reads and decodes the bitmap file at `path`; false when it cannot be read or decoded.
bool ReadBitmapFile(const char* path, IndexedBitmap& out);

// The picture `factor` times wider and higher, every pixel repeated as a factor x factor
// square, with the same colours: how the glyph sheet grows for larger cells. A factor below 1
// is taken as 1.
IndexedBitmap EnlargeBitmap(const IndexedBitmap& bitmap, int32_t factor);

}  // namespace korvane
