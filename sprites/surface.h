#pragma once

#include <cstdint>
#include <span>

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

// One copy of a band: a source rectangle and the column it goes to.
struct BandCopy {
    int32_t x = 0;
    PixelRect rect;
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

    // Whether BltFastBand takes a whole band in one call. Only a surface that never answers
    // kWasStillDrawing may: a copy of a band cannot be retried on its own.
    virtual bool TakesBands() const { return false; }

    // Copies side by side onto the band of rows from y, each as tall as the first: the same
    // pixels as a BltFast of each in turn, which is also what this default does. A surface in
    // memory writes the band a pixel row at a time, in address order, where a copy at a time
    // would write as many scattered rows at once as a cell is tall.
    virtual DisplayResult BltFastBand(int32_t y, Surface& source, std::span<const BandCopy> copies,
                                      uint32_t flags) {
        DisplayResult result = kDisplayOk;
        for (const BandCopy& copy : copies) {
            const DisplayResult one = BltFast(copy.x, y, source, copy.rect, flags);
            if (result == kDisplayOk) {
                result = one;
            }
        }
        return result;
    }
};

}  // namespace korvane
