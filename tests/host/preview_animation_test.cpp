#include "host/preview_animation.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace korvane {
namespace {

TEST(PreviewAnimation, FirstTickDrawsTheMirroredStartOfTheFigure) {
    PreviewFrame pixels;
    int32_t step = kInitialPreviewColourStep;
    ComputePreviewFrame(0, 152, step, pixels);
    // Point 0: sin(0) puts it on the centre line, 50 pixels down, with colour 1.
    EXPECT_EQ(pixels[0].x, 76);
    EXPECT_EQ(pixels[0].y, 50);
    EXPECT_EQ(pixels[0].green, 255 - 4);
    EXPECT_EQ(pixels[1].x, 76);
    EXPECT_EQ(pixels[1].green, 4);
    // Point 90: about 90 degrees (with the short degree factor), so near the extremes.
    EXPECT_EQ(pixels[180].y, 89);
    EXPECT_EQ(pixels[180].x, 115);
    // The mirror is truncated after subtracting: 152 - 115.99 gives 36.
    EXPECT_EQ(pixels[181].x, 36);
}

TEST(PreviewAnimation, StaysInsideTheBandAndUsesTheTriangleRamp) {
    PreviewFrame pixels;
    int32_t step = kInitialPreviewColourStep;
    for (int32_t tick : {0, 1, 17, 1000}) {
        ComputePreviewFrame(tick, 152, step, pixels);
        EXPECT_EQ(step, kInitialPreviewColourStep) << "the ramp ends each tick where it began";
        for (const PreviewPixel& p : pixels) {
            EXPECT_GE(p.y, 10);
            EXPECT_LE(p.y, 90);
            EXPECT_GE(p.x, 76 - 40);
            EXPECT_LE(p.x, 76 + 40);
        }
        // Colour 60 is the top of the ramp (green 240 on the mirror side), reached at point 59.
        EXPECT_EQ(pixels[2 * 59 + 1].green, 240);
        EXPECT_EQ(pixels[2 * 119 + 1].green, 0);
        EXPECT_EQ(pixels[2 * 120 + 1].green, 4);
    }
}

TEST(PreviewAnimation, FigureTurnsFromTickToTick) {
    PreviewFrame first;
    PreviewFrame second;
    int32_t step = kInitialPreviewColourStep;
    ComputePreviewFrame(0, 152, step, first);
    ComputePreviewFrame(1, 152, step, second);
    const bool moved = !std::equal(
        first.begin(), first.end(), second.begin(),
        [](const PreviewPixel& a, const PreviewPixel& b) { return a.x == b.x && a.y == b.y; });
    EXPECT_TRUE(moved);
}

TEST(PreviewAnimation, HugeTickCountsWrapInsteadOfOverflowing) {
    PreviewFrame pixels;
    int32_t step = kInitialPreviewColourStep;
    ComputePreviewFrame(INT32_MAX, 152, step, pixels);
    for (const PreviewPixel& p : pixels) {
        EXPECT_GE(p.y, 10);
        EXPECT_LE(p.y, 90);
    }
}

}  // namespace
}  // namespace korvane
