#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace korvane {

// The "Glyph size" choice: automatic follows each monitor's DPI; 1 to 4 fix the factor by which
// the cells and glyphs grow on every monitor.
inline constexpr int32_t kAutomaticGlyphScale = 0;
inline constexpr int32_t kLargestGlyphScale = 4;

// The user's options: which sequences run, sound, the typed message, the number that the
// telephone trace finds and the glyph size. One record per process, owned by the show's
// composition root.
struct ShowSettings {
    static constexpr std::size_t kMessageCapacity = 1024;  // 1023 characters and the terminator
    static constexpr std::size_t kPhoneCapacity = 12;      // 10 from the dialog; 11 fit

    bool titleEnabled = true;
    bool phoneEnabled = true;
    bool messageEnabled = true;
    bool codeEnabled = true;
    bool faceEnabled = true;
    bool soundEnabled = true;
    std::array<char, kMessageCapacity> messageText{};
    std::array<char, kPhoneCapacity> phoneNumber{};
    int32_t glyphScale = kAutomaticGlyphScale;
};

inline constexpr char kDefaultMessage[] =
    "Hello Jorrel...\r\nThe Korvane has you...\r\nFollow the white rabbit\r\n"
    "Knock, knock, Jorrel..     \r\n";
inline constexpr char kDefaultPhoneNumber[] = "3525550690";

// All six flags on, the default message and number, automatic glyph size.
void SetDefaultSettings(ShowSettings& settings);

}  // namespace korvane
