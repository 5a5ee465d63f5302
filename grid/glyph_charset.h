#pragma once

#include <cstdint>

namespace korvane {

// The 91 text characters whose positions give the text glyphs (glyph 25 + index), stored
// with their terminating zero. Index 73 is a second space that lookups never reach.
inline constexpr char kGlyphCharset[92] =
    " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-+*/.,;:<> "
    "$_\xA7'!%[]{}()@#~|&";
inline constexpr int32_t kGlyphCharsetSize = 91;

inline constexpr int32_t kBlankCellCode = 100;
inline constexpr int32_t kCodeSymbolCount = 25;
inline constexpr int32_t kFirstTextGlyph = 25;

// Position of the character in the charset, or kGlyphCharsetSize when it is absent or zero.
int32_t GlyphCharsetIndex(char character);

}  // namespace korvane
