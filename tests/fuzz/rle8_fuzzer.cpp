// The bitmap decoder that reads the glyph sheet. Three ways in, chosen by the first byte:
//   0: the rest is a whole file, headers and all;
//   1: a valid 8-bit header of a fuzzed small size around fuzzed RLE8 (or plain) pixel data;
//   2: a fuzzed small picture, run-length encoded here, which must decode to itself.
// No way may read or write outside the bytes or the picture (the sanitizers watch), and a
// picture that decodes has exactly the size its header gave.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "display/indexed_bitmap.h"

namespace korvane {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoSize = 40;
constexpr uint32_t kRle8 = 1;
// Pictures with more pixels than this cost more than they teach: skipped before decoding.
constexpr uint64_t kMaxPixels = 1u << 20;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

void PutU32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    }
}

uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

std::vector<uint8_t> MakeFile(uint32_t width, uint32_t height, uint32_t compression,
                              uint32_t colors, const uint8_t* pixels, std::size_t pixelBytes) {
    const uint32_t tableColors = colors == 0 ? 256 : colors;
    std::vector<uint8_t> file(kFileHeaderSize + kInfoSize + 4 * tableColors, 0);
    file[0] = 'B';
    file[1] = 'M';
    PutU32(file, 10, static_cast<uint32_t>(file.size()));
    PutU32(file, 14, kInfoSize);
    PutU32(file, 18, width);
    PutU32(file, 22, height);
    file[26] = 1;
    file[28] = 8;
    PutU32(file, 30, compression);
    PutU32(file, 46, colors);
    for (uint32_t i = 0; i < tableColors; ++i) {
        file[kFileHeaderSize + kInfoSize + 4 * i] = static_cast<uint8_t>(i);
    }
    file.insert(file.end(), pixels, pixels + pixelBytes);
    PutU32(file, 2, static_cast<uint32_t>(file.size()));
    return file;
}

// RLE8 codes for `rows` (top-down) of `width` indices: repeats as (count, value), other
// stretches of three or more as padded literals, single bytes as runs of one.
std::vector<uint8_t> EncodeRle8(const std::vector<uint8_t>& indices, uint32_t width,
                                uint32_t height) {
    std::vector<uint8_t> out;
    for (uint32_t row = height; row-- > 0;) {
        const uint8_t* line = indices.data() + static_cast<std::size_t>(row) * width;
        uint32_t x = 0;
        while (x < width) {
            uint32_t run = 1;
            while (x + run < width && run < 255 && line[x + run] == line[x]) {
                ++run;
            }
            if (run >= 2 || width - x < 3) {
                out.push_back(static_cast<uint8_t>(run));
                out.push_back(line[x]);
                x += run;
                continue;
            }
            uint32_t literal = 1;
            while (x + literal < width && literal < 255 &&
                   (x + literal + 1 >= width || line[x + literal] != line[x + literal + 1])) {
                ++literal;
            }
            if (literal < 3) {
                out.push_back(1);
                out.push_back(line[x]);
                ++x;
                continue;
            }
            out.push_back(0);
            out.push_back(static_cast<uint8_t>(literal));
            out.insert(out.end(), line + x, line + x + literal);
            if (literal & 1) {
                out.push_back(0);
            }
            x += literal;
        }
        out.push_back(0);
        out.push_back(0);
    }
    out.push_back(0);
    out.push_back(1);
    return out;
}

void CheckDecoded(const IndexedBitmap& bitmap, uint32_t width, uint32_t height) {
    if (bitmap.width != static_cast<int32_t>(width) ||
        bitmap.height != static_cast<int32_t>(height) ||
        bitmap.indices.size() != static_cast<std::size_t>(width) * height ||
        bitmap.colorCount < 1 || bitmap.colorCount > 256) {
        Fail("a decoded picture does not have the size its header gave");
    }
}

void DecodeWholeFile(const uint8_t* data, std::size_t size) {
    if (size >= kFileHeaderSize + kInfoSize) {
        const uint64_t width = GetU32(data + 18);
        const uint64_t height = GetU32(data + 22);
        if (width * height > kMaxPixels) {
            return;
        }
    }
    IndexedBitmap bitmap;
    if (DecodeBitmapFile(data, size, bitmap)) {
        CheckDecoded(bitmap, static_cast<uint32_t>(bitmap.width),
                     static_cast<uint32_t>(bitmap.height));
    }
}

void DecodeFuzzedPixels(const uint8_t* data, std::size_t size) {
    if (size < 4) {
        return;
    }
    const uint32_t width = 1 + data[0] % 64;
    const uint32_t height = 1 + data[1] % 64;
    const uint32_t compression = (data[2] & 1) != 0 ? 0 : kRle8;
    const uint32_t colors = data[3];
    const std::vector<uint8_t> file =
        MakeFile(width, height, compression, colors, data + 4, size - 4);
    IndexedBitmap bitmap;
    if (DecodeBitmapFile(file.data(), file.size(), bitmap)) {
        CheckDecoded(bitmap, width, height);
    }
}

void RoundTrip(const uint8_t* data, std::size_t size) {
    if (size < 2) {
        return;
    }
    const uint32_t width = 1 + data[0] % 48;
    const uint32_t height = 1 + data[1] % 32;
    std::vector<uint8_t> picture(static_cast<std::size_t>(width) * height, 0);
    // The rest of the input paints the picture, repeating so that short inputs make runs.
    for (std::size_t i = 0; i < picture.size() && size > 2; ++i) {
        picture[i] = data[2 + (i / 3) % (size - 2)];
    }
    const std::vector<uint8_t> codes = EncodeRle8(picture, width, height);
    const std::vector<uint8_t> file = MakeFile(width, height, kRle8, 0, codes.data(), codes.size());
    IndexedBitmap bitmap;
    if (!DecodeBitmapFile(file.data(), file.size(), bitmap)) {
        Fail("a well-formed RLE8 picture was refused");
    }
    CheckDecoded(bitmap, width, height);
    if (bitmap.indices != picture) {
        Fail("an RLE8 picture did not decode to itself");
    }
}

}  // namespace
}  // namespace korvane

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace korvane;
    if (size < 1) {
        return 0;
    }
    switch (data[0] % 3) {
        case 0:
            DecodeWholeFile(data + 1, size - 1);
            break;
        case 1:
            DecodeFuzzedPixels(data + 1, size - 1);
            break;
        default:
            RoundTrip(data + 1, size - 1);
            break;
    }
    return 0;
}
