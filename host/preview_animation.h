#pragma once

#include <array>
#include <cstdint>

namespace korvane {

// One pixel of the preview's figure: where it goes and how green it is.
struct PreviewPixel {
    int32_t x = 0;
    int32_t y = 0;
    uint8_t green = 0;
};

// 360 points a tick, each drawn twice: once as it is and once mirrored about the centre line.
inline constexpr int kPreviewPoints = 360;
inline constexpr int kPreviewPixelsPerTick = 2 * kPreviewPoints;
inline constexpr int32_t kInitialPreviewColourStep = -1;

using PreviewFrame = std::array<PreviewPixel, kPreviewPixelsPerTick>;

// The pixels of tick `tickCounter` for a client `clientWidth` wide, in drawing order. The colour
// step turns at both ends of its ramp and is carried from tick to tick.
void ComputePreviewFrame(int32_t tickCounter, int32_t clientWidth, int32_t& colourStep,
                         PreviewFrame& pixels);

}  // namespace korvane
