#include "grid/glyph_charset.h"

#include <array>

namespace korvane {

namespace {

// Byte -> first charset position, built once; the lookup runs for every written cell.
constexpr std::array<uint8_t, 256> MakeIndexTable() {
    std::array<uint8_t, 256> table{};
    for (auto& entry : table) {
        entry = kGlyphCharsetSize;
    }
    for (int32_t i = kGlyphCharsetSize - 1; i >= 0; --i) {
        table[static_cast<uint8_t>(kGlyphCharset[i])] = static_cast<uint8_t>(i);
    }
    table[0] = kGlyphCharsetSize;
    return table;
}

constexpr std::array<uint8_t, 256> kIndexTable = MakeIndexTable();

}  // namespace

int32_t GlyphCharsetIndex(char character) {
    return kIndexTable[static_cast<uint8_t>(character)];
}

}  // namespace korvane
