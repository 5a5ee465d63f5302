#include "host/preview_animation.h"

#include <cmath>

namespace korvane {
namespace {

// Close to one degree in radians, deliberately not exact: the figure's shape depends on it.
constexpr double kDegree = 3.14 / 180.0;

}  // namespace

void ComputePreviewFrame(int32_t tickCounter, int32_t clientWidth, int32_t& colourStep,
                         PreviewFrame& pixels) {
    // 8 x tick is a 32-bit product that wraps on very long runs.
    const int32_t yPhase = static_cast<int32_t>(static_cast<uint32_t>(tickCounter) * 8u);
    int32_t colour = 0;
    for (int point = 0; point < kPreviewPoints; ++point) {
        if (colour >= 60 || colour <= 0) {
            colourStep = -colourStep;
        }
        colour += colourStep;
        const double y = 40.0 * std::sin((static_cast<double>(yPhase) + point) * kDegree) + 50.0;
        const double x = clientWidth / 2 + 40.0 * std::sin((2.5 * tickCounter + point) * kDegree);
        const auto green = static_cast<uint8_t>(static_cast<uint32_t>(4 * colour) & 0xFFu);
        const auto row = static_cast<int32_t>(y);
        pixels[2 * point] = {static_cast<int32_t>(x), row, static_cast<uint8_t>(255 - green)};
        pixels[2 * point + 1] = {static_cast<int32_t>(clientWidth - x), row, green};
    }
}

}  // namespace korvane
