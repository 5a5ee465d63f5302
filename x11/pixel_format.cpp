#include "x11/pixel_format.h"

#include <bit>
#include <cstring>

namespace korvane {

namespace {

// A mask of contiguous bits; false for an empty or broken one.
bool Placement(uint32_t mask, ChannelPlacement& placement) {
    if (mask == 0) {
        return false;
    }
    placement.shift = std::countr_zero(mask);
    placement.bits = std::popcount(mask);
    return (mask >> placement.shift) == (1u << placement.bits) - 1 && placement.bits <= 8;
}

// The pages hold little-endian pixel values.
uint32_t ReadSource(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

}  // namespace

bool ChooseConversion(const VisualLayout& visual, PixelConversion& conversion,
                      std::string& reason) {
    const std::string what = "depth " + std::to_string(visual.depth) + " visual with " +
                             std::to_string(visual.bitsPerPixel) + " bits per pixel";
    if (!visual.trueColor) {
        reason = "the window's " + what + " is not TrueColor; only TrueColor is drawn";
        return false;
    }
    if (visual.bitsPerPixel != 16 && visual.bitsPerPixel != 32) {
        reason = "the window's " + what + " is not drawn; only 16 and 32 bits per pixel are";
        return false;
    }
    PixelConversion chosen;
    if (!Placement(visual.redMask, chosen.red) || !Placement(visual.greenMask, chosen.green) ||
        !Placement(visual.blueMask, chosen.blue) ||
        (uint64_t{visual.redMask | visual.greenMask | visual.blueMask} >> visual.bitsPerPixel) !=
            0) {
        reason = "the window's " + what + " has colour masks that cannot be drawn";
        return false;
    }
    chosen.bytesPerPixel = visual.bitsPerPixel / 8;
    chosen.bigEndian = visual.bigEndian;
    chosen.identity = chosen.bytesPerPixel == 4 && visual.redMask == 0xFF0000u &&
                      visual.greenMask == 0xFF00u && visual.blueMask == 0xFFu && !visual.bigEndian;
    conversion = chosen;
    return true;
}

namespace {

template <int32_t kBytes, bool kBigEndian>
void ConvertRows(const PixelConversion& conversion, const uint8_t* source, int32_t sourcePitch,
                 int32_t width, int32_t height, uint8_t* target, int32_t targetPitch) {
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* from = source + static_cast<size_t>(y) * static_cast<size_t>(sourcePitch);
        uint8_t* to = target + static_cast<size_t>(y) * static_cast<size_t>(targetPitch);
        for (int32_t x = 0; x < width; ++x, from += 4, to += kBytes) {
            const uint32_t value = conversion.Convert(ReadSource(from));
            for (int32_t b = 0; b < kBytes; ++b) {
                to[b] = static_cast<uint8_t>(value >> (8 * (kBigEndian ? kBytes - 1 - b : b)));
            }
        }
    }
}

}  // namespace

void ConvertPixels(const PixelConversion& conversion, const uint8_t* source, int32_t sourcePitch,
                   int32_t width, int32_t height, uint8_t* target, int32_t targetPitch) {
    if (conversion.identity) {
        for (int32_t y = 0; y < height; ++y) {
            std::memcpy(target + static_cast<size_t>(y) * static_cast<size_t>(targetPitch),
                        source + static_cast<size_t>(y) * static_cast<size_t>(sourcePitch),
                        static_cast<size_t>(width) * 4);
        }
        return;
    }
    // One loop per layout, so the byte order and width are fixed in each.
    const bool big = conversion.bigEndian;
    if (conversion.bytesPerPixel == 2) {
        (big ? ConvertRows<2, true> : ConvertRows<2, false>)(conversion, source, sourcePitch, width,
                                                             height, target, targetPitch);
    } else {
        (big ? ConvertRows<4, true> : ConvertRows<4, false>)(conversion, source, sourcePitch, width,
                                                             height, target, targetPitch);
    }
}

}  // namespace korvane
