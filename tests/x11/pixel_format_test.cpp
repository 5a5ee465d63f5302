#include "x11/pixel_format.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace korvane {
namespace {

VisualLayout TrueColor(int32_t depth, int32_t bits, uint32_t red, uint32_t green, uint32_t blue) {
    VisualLayout layout;
    layout.trueColor = true;
    layout.depth = depth;
    layout.bitsPerPixel = bits;
    layout.redMask = red;
    layout.greenMask = green;
    layout.blueMask = blue;
    return layout;
}

// Two pixels of a page as its bytes hold them: little-endian 0x00RRGGBB.
std::vector<uint8_t> Page(uint32_t first, uint32_t second) {
    std::vector<uint8_t> bytes;
    for (uint32_t value : {first, second}) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
        }
    }
    return bytes;
}

TEST(PixelConversion, ThirtyTwoBitRgbCopiesThePageAsItIs) {
    PixelConversion conversion;
    std::string reason;
    ASSERT_TRUE(ChooseConversion(TrueColor(24, 32, 0xFF0000, 0xFF00, 0xFF), conversion, reason));
    EXPECT_TRUE(conversion.identity);
    const std::vector<uint8_t> page = Page(0x00123456, 0x00ABCDEF);
    std::array<uint8_t, 8> out{};
    ConvertPixels(conversion, page.data(), 8, 2, 1, out.data(), 8);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), page.begin()));
}

TEST(PixelConversion, SixteenBitTruncatesTo565) {
    PixelConversion conversion;
    std::string reason;
    ASSERT_TRUE(ChooseConversion(TrueColor(16, 16, 0xF800, 0x07E0, 0x001F), conversion, reason));
    EXPECT_FALSE(conversion.identity);
    // Truncation, not rounding: 0x0F in five bits is 1, 0xFC in six is 63, 0x07 is 0.
    EXPECT_EQ(conversion.Convert(0x000FFC07), (1u << 11) | (63u << 5) | 0u);
    EXPECT_EQ(conversion.Convert(0x00FFFFFF), 0xFFFFu);
    const std::vector<uint8_t> page = Page(0x00FF0000, 0x000000FF);
    // Rows wider than the pixels: the padding must be left alone.
    std::array<uint8_t, 12> out{};
    out.fill(0xAA);
    ConvertPixels(conversion, page.data(), 8, 2, 1, out.data(), 6);
    EXPECT_EQ(out[0], 0x00);
    EXPECT_EQ(out[1], 0xF8);
    EXPECT_EQ(out[2], 0x1F);
    EXPECT_EQ(out[3], 0x00);
    EXPECT_EQ(out[4], 0xAA);
}

TEST(PixelConversion, OtherChannelOrdersAndBigEndianImages) {
    PixelConversion conversion;
    std::string reason;
    VisualLayout bgr = TrueColor(24, 32, 0xFF, 0xFF00, 0xFF0000);
    bgr.bigEndian = true;
    ASSERT_TRUE(ChooseConversion(bgr, conversion, reason));
    EXPECT_FALSE(conversion.identity);
    const std::vector<uint8_t> page = Page(0x00112233, 0);
    std::array<uint8_t, 8> out{};
    ConvertPixels(conversion, page.data(), 8, 1, 1, out.data(), 8);
    // 0x00332211, most significant byte first.
    EXPECT_EQ(out[0], 0x00);
    EXPECT_EQ(out[1], 0x33);
    EXPECT_EQ(out[2], 0x22);
    EXPECT_EQ(out[3], 0x11);
}

TEST(PixelConversion, RefusesWhatItCannotDrawWithAReason) {
    PixelConversion conversion;
    std::string reason;
    VisualLayout palette = TrueColor(8, 8, 0, 0, 0);
    palette.trueColor = false;
    EXPECT_FALSE(ChooseConversion(palette, conversion, reason));
    EXPECT_NE(reason.find("not TrueColor"), std::string::npos) << reason;
    EXPECT_FALSE(ChooseConversion(TrueColor(24, 24, 0xFF0000, 0xFF00, 0xFF), conversion, reason));
    EXPECT_NE(reason.find("24 bits per pixel"), std::string::npos) << reason;
    // Ten bits a channel, a split mask, and a mask beyond the pixel.
    EXPECT_FALSE(
        ChooseConversion(TrueColor(30, 32, 0x3FF00000, 0xFFC00, 0x3FF), conversion, reason));
    EXPECT_FALSE(ChooseConversion(TrueColor(16, 16, 0xF801, 0x07E0, 0x001E), conversion, reason));
    EXPECT_FALSE(ChooseConversion(TrueColor(16, 16, 0xF8000, 0x07E0, 0x001F), conversion, reason));
    EXPECT_NE(reason.find("colour masks"), std::string::npos) << reason;
}

}  // namespace
}  // namespace korvane
