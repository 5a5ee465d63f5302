#pragma once

#include <cstdint>

namespace korvane {

// Result codes of the display, as DirectDraw gives them: 0 for success.
using DisplayResult = int32_t;
inline constexpr DisplayResult kDisplayOk = 0;
inline constexpr DisplayResult kWasStillDrawing = static_cast<int32_t>(0x8876021Cu);
inline constexpr DisplayResult kSurfaceLost = static_cast<int32_t>(0x887601C2u);
// What an operation answers when the object it needs is missing.
inline constexpr DisplayResult kNoObject = static_cast<int32_t>(0x80004005u);

inline constexpr uint32_t kBltNoColorKey = 0;
inline constexpr uint32_t kBltSourceColorKey = 1;

// The longest side of any surface, page or covered monitor the program makes. Sizes are held to
// it before they are multiplied, so side x side x 4 bytes stays far inside 32 bits.
inline constexpr int32_t kMaxSurfaceSide = 16384;

struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// What the show needs of a drawing surface. The Windows build binds it to DirectDraw
// surfaces; the simulator and the native tests to surfaces in memory.
class Surface {
  public:
    virtual ~Surface() = default;

    // Unscaled copy of `rect` of `source` to (x, y) on this surface; with kBltSourceColorKey
    // the source's colour-key pixels are skipped. May answer kWasStillDrawing.
    virtual DisplayResult BltFast(int32_t x, int32_t y, Surface& source, const PixelRect& rect,
                                  uint32_t flags) = 0;
};

}  // namespace korvane
