#include "display/indexed_bitmap.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace korvane {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionRle8 = 1;
// Larger pictures than any screen are refused rather than allocated.
constexpr int32_t kMaxSide = 16384;

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t ReadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// Rows of a bitmap file run bottom-up; `row` counts from the bottom.
void Put(IndexedBitmap& out, int32_t x, int32_t row, uint8_t index) {
    if (x < 0 || x >= out.width || row < 0 || row >= out.height) {
        return;
    }
    const int32_t y = out.height - 1 - row;
    out.indices[static_cast<size_t>(y) * static_cast<size_t>(out.width) + static_cast<size_t>(x)] =
        index;
}

bool DecodeRle8(const uint8_t* data, size_t size, IndexedBitmap& out) {
    size_t at = 0;
    int32_t x = 0;
    int32_t row = 0;
    while (at + 1 < size) {
        const uint8_t count = data[at];
        const uint8_t value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (int32_t i = 0; i < count; ++i) {
                Put(out, x++, row, value);
            }
            continue;
        }
        switch (value) {
            case 0:  // end of line
                x = 0;
                ++row;
                break;
            case 1:  // end of bitmap
                return true;
            case 2:  // delta
                if (at + 1 >= size) {
                    return false;
                }
                x += data[at];
                row += data[at + 1];
                at += 2;
                break;
            default: {  // literal run, padded to an even length
                const size_t length = value;
                if (at + length > size) {
                    return false;
                }
                for (size_t i = 0; i < length; ++i) {
                    Put(out, x++, row, data[at + i]);
                }
                at += length + (length & 1);
                break;
            }
        }
    }
    // Data that ends without its end marker still gives the rows it held.
    return true;
}

}  // namespace

bool DecodeBitmapFile(const uint8_t* bytes, size_t size, IndexedBitmap& out) {
    if (bytes == nullptr || size < kFileHeaderSize + 40 || bytes[0] != 'B' || bytes[1] != 'M') {
        return false;
    }
    const uint32_t pixelOffset = ReadU32(bytes + 10);
    const uint8_t* info = bytes + kFileHeaderSize;
    const uint32_t infoSize = ReadU32(info);
    const int32_t width = static_cast<int32_t>(ReadU32(info + 4));
    const int32_t height = static_cast<int32_t>(ReadU32(info + 8));
    const uint16_t bitCount = ReadU16(info + 14);
    const uint32_t compression = ReadU32(info + 16);
    uint32_t colorsUsed = ReadU32(info + 32);
    if (infoSize < 40 || bitCount != 8 || width <= 0 || height <= 0 || width > kMaxSide ||
        height > kMaxSide || (compression != kCompressionNone && compression != kCompressionRle8)) {
        return false;
    }
    if (colorsUsed == 0 || colorsUsed > 256) {
        colorsUsed = 256;
    }
    const size_t tableAt = kFileHeaderSize + infoSize;
    if (tableAt > size || (size - tableAt) / 4 < colorsUsed || pixelOffset > size) {
        return false;
    }
    out.width = width;
    out.height = height;
    out.colorCount = static_cast<int32_t>(colorsUsed);
    out.colors = {};
    for (uint32_t i = 0; i < colorsUsed; ++i) {
        const uint8_t* entry = bytes + tableAt + 4 * i;
        out.colors[i] = {entry[2], entry[1], entry[0]};
    }
    out.indices.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    const uint8_t* data = bytes + pixelOffset;
    const size_t dataSize = size - pixelOffset;
    if (compression == kCompressionRle8) {
        return DecodeRle8(data, dataSize, out);
    }
    const size_t stride = (static_cast<size_t>(width) + 3) & ~static_cast<size_t>(3);
    if (dataSize / stride < static_cast<size_t>(height)) {
        return false;
    }
    for (int32_t row = 0; row < height; ++row) {
        for (int32_t x = 0; x < width; ++x) {
            Put(out, x, row, data[static_cast<size_t>(row) * stride + static_cast<size_t>(x)]);
        }
    }
    return true;
}

bool DecodePackedBitmap(const uint8_t* bytes, size_t size, IndexedBitmap& out) {
    if (bytes == nullptr || size < 40) {
        return false;
    }
    const uint32_t infoSize = ReadU32(bytes);
    uint32_t colorsUsed = ReadU32(bytes + 32);
    if (colorsUsed == 0 || colorsUsed > 256) {
        colorsUsed = 256;
    }
    if (infoSize < 40 || infoSize > size) {
        return false;
    }
    // The file header a packed bitmap lacks: the pixels follow the colour table.
    const uint64_t pixelOffset = kFileHeaderSize + uint64_t{infoSize} + uint64_t{colorsUsed} * 4;
    if (pixelOffset > kFileHeaderSize + uint64_t{size}) {
        return false;
    }
    std::vector<uint8_t> file(kFileHeaderSize + size, 0);
    file[0] = 'B';
    file[1] = 'M';
    for (int i = 0; i < 4; ++i) {
        file[10 + static_cast<size_t>(i)] = static_cast<uint8_t>(pixelOffset >> (8 * i));
    }
    std::copy(bytes, bytes + size, file.begin() + kFileHeaderSize);
    return DecodeBitmapFile(file.data(), file.size(), out);
}

IndexedBitmap EnlargeBitmap(const IndexedBitmap& bitmap, int32_t factor) {
    const auto f = static_cast<size_t>(std::max(factor, 1));
    IndexedBitmap out;
    out.width = bitmap.width * static_cast<int32_t>(f);
    out.height = bitmap.height * static_cast<int32_t>(f);
    out.colorCount = bitmap.colorCount;
    out.colors = bitmap.colors;
    const auto outWidth = static_cast<size_t>(out.width);
    out.indices.resize(outWidth * static_cast<size_t>(out.height));
    for (int32_t y = 0; y < bitmap.height; ++y) {
        const auto first = out.indices.begin() +
                           static_cast<std::ptrdiff_t>(static_cast<size_t>(y) * f * outWidth);
        auto at = first;
        for (int32_t x = 0; x < bitmap.width; ++x) {
            at = std::fill_n(at, f, bitmap.IndexAt(x, y));
        }
        // The other rows of the square row are copies of the first.
        for (size_t k = 1; k < f; ++k) {
            std::copy_n(first, outWidth, first + static_cast<std::ptrdiff_t>(k * outWidth));
        }
    }
    return out;
}

bool ReadBitmapFile(const char* path, IndexedBitmap& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    return !in.bad() && DecodeBitmapFile(file.data(), file.size(), out);
}

}  // namespace korvane
