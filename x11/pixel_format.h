#pragma once

#include <cstdint>
#include <string>

namespace korvane {

// How a window's visual stores a pixel, as far as conversion needs it.
struct VisualLayout {
    bool trueColor = false;
    int32_t depth = 0;
    int32_t bitsPerPixel = 0;
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
    bool bigEndian = false;  // the image's byte order
};

// One channel of the target: the source channel's top `bits` bits, moved to `shift`.
struct ChannelPlacement {
    int32_t shift = 0;
    int32_t bits = 0;
};

// The conversion from the show's 0x00RRGGBB pages to a visual: truncation of each channel to
// the visual's width, so 5-6-5 keeps the top 5, 6 and 5 bits.
struct PixelConversion {
    ChannelPlacement red;
    ChannelPlacement green;
    ChannelPlacement blue;
    int32_t bytesPerPixel = 4;
    bool bigEndian = false;
    bool identity = false;  // little-endian 32-bit 0x00RRGGBB, as the pages: rows copy as they are

    uint32_t Convert(uint32_t rgb) const {
        return Place(rgb >> 16, red) | Place(rgb >> 8, green) | Place(rgb, blue);
    }

  private:
    static uint32_t Place(uint32_t channel, const ChannelPlacement& to) {
        return ((channel & 0xFFu) >> (8 - to.bits)) << to.shift;
    }
};

// The conversion to `visual`, or false with a one-line reason: TrueColor at 16 or 32 bits per
// pixel with channels of 1 to 8 bits is drawn, anything else is not.
bool ChooseConversion(const VisualLayout& visual, PixelConversion& conversion, std::string& reason);

// Converts `width` x `height` pixels of 0x00RRGGBB rows (`sourcePitch` bytes apart) into
// `target` rows `targetPitch` bytes apart.
void ConvertPixels(const PixelConversion& conversion, const uint8_t* source, int32_t sourcePitch,
                   int32_t width, int32_t height, uint8_t* target, int32_t targetPitch);

}  // namespace korvane
