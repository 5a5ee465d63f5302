#include <gtest/gtest.h>

#include <cstdint>

#include "tools/sim/screen_picture.h"

namespace korvane {
namespace {

ScreenPicture BlackScreen(int32_t width, int32_t height) {
    ScreenPicture screen;
    screen.width = width;
    screen.height = height;
    screen.rgb.assign(static_cast<size_t>(width) * height * 3, 0);
    return screen;
}

void Paint(ScreenPicture& screen, int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b) {
    uint8_t* pixel = &screen.rgb[3 * (static_cast<size_t>(y) * screen.width + x)];
    pixel[0] = r;
    pixel[1] = g;
    pixel[2] = b;
}

TEST(ScreenPicture, WhiteCountsNearWhiteOnlyAndNoGlyphColour) {
    ScreenPicture screen = BlackScreen(8, 4);
    Paint(screen, 0, 0, 255, 255, 255);
    Paint(screen, 1, 0, 248, 252, 248);  // white as a 5-6-5 screen shows it
    Paint(screen, 2, 0, 96, 255, 96);    // the brightest glyph colour
    Paint(screen, 3, 0, 255, 0, 255);    // the magenta backdrop
    Paint(screen, 4, 0, 192, 192, 192);  // a light grey
    EXPECT_EQ(CountWhitePixels(screen, {0, 0, 8, 4}), 2);
}

TEST(ScreenPicture, AreasAreClippedToTheScreen) {
    ScreenPicture screen = BlackScreen(8, 4);
    for (int32_t x = 0; x < 8; ++x) {
        Paint(screen, x, 3, 255, 255, 255);
        Paint(screen, x, 0, 0, 200, 0);
    }
    EXPECT_EQ(CountWhitePixels(screen, {4, 2, 4, 2}), 4);
    EXPECT_EQ(CountWhitePixels(screen, {6, 3, 100, 100}), 2);
    EXPECT_EQ(CountWhitePixels(screen, {-5, -5, 7, 100}), 2);
    EXPECT_EQ(CountWhitePixels(screen, {8, 0, 4, 4}), 0);
    EXPECT_EQ(CountGreenPixels(screen, {0, 0, 3, 1}), 3);
    EXPECT_EQ(CountGreenPixels(screen, {0, 1, 8, 3}), 0);
}

TEST(ScreenPicture, ChangedPixelsInAnAreaAnyChannel) {
    const ScreenPicture before = BlackScreen(6, 3);
    ScreenPicture after = before;
    Paint(after, 0, 0, 1, 0, 0);
    Paint(after, 5, 2, 0, 0, 1);
    Paint(after, 3, 1, 0, 7, 0);
    EXPECT_EQ(CountChangedPixels(before, after, {0, 0, 6, 3}), 3);
    EXPECT_EQ(CountChangedPixels(before, after, {3, 0, 3, 3}), 2);
    EXPECT_EQ(CountChangedPixels(before, after, {1, 0, 2, 3}), 0);
    EXPECT_EQ(CountChangedPixels(before, before, {0, 0, 6, 3}), 0);
    EXPECT_EQ(CountChangedPixels(before, BlackScreen(6, 4), {0, 0, 6, 3}), -1);
}

}  // namespace
}  // namespace korvane
