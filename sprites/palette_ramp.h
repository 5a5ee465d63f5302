#pragma once

#include <array>
#include <cstdint>

namespace korvane {

// One entry of a DirectDraw palette table: red, green, blue, flags.
struct PaletteEntry {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t flags = 0;
};

using PaletteTable = std::array<PaletteEntry, 256>;

// The colours a palette holds where no bitmap gives its own: 3 bits of red, 3 of green and
// 2 of blue, spread over the full range.
constexpr PaletteTable DefaultPaletteRamp() {
    PaletteTable table{};
    for (int i = 0; i < 256; ++i) {
        table[i].red = static_cast<uint8_t>(((i >> 5) & 7) * 255 / 7);
        table[i].green = static_cast<uint8_t>(((i >> 2) & 7) * 255 / 7);
        table[i].blue = static_cast<uint8_t>((i & 3) * 85);
    }
    return table;
}

// Number of colour-table entries a packed bitmap header announces, as the resource path
// reads it: headers of 40 bytes or more, 8 bits per pixel or fewer, cut to 256.
constexpr uint32_t ColorTableCount(uint32_t headerSize, uint32_t bitCount, uint32_t colorsUsed,
                                   bool exactHeader) {
    const bool headerFits = exactHeader ? headerSize == 40 : headerSize >= 40;
    if (!headerFits || bitCount > 8) {
        return 0;
    }
    const uint32_t count = colorsUsed != 0 ? colorsUsed : 1u << bitCount;
    return count > 256 ? 256 : count;
}

}  // namespace korvane
