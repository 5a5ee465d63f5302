#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "display/indexed_bitmap.h"
#include "sprites/palette_ramp.h"

namespace korvane {
namespace {

void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

// A bitmap file of `width` x `height` at 8 bits with four colours and the given pixel data.
std::vector<uint8_t> MakeBitmap(int32_t width, int32_t height, uint32_t compression,
                                const std::vector<uint8_t>& data) {
    const uint32_t colors = 4;
    std::vector<uint8_t> b(14 + 40 + 4 * colors, 0);
    b[0] = 'B';
    b[1] = 'M';
    PutU32(b, 10, static_cast<uint32_t>(b.size()));
    PutU32(b, 14, 40);
    PutU32(b, 18, static_cast<uint32_t>(width));
    PutU32(b, 22, static_cast<uint32_t>(height));
    b[26] = 1;
    b[28] = 8;
    PutU32(b, 30, compression);
    PutU32(b, 46, colors);
    for (uint32_t i = 0; i < colors; ++i) {
        b[54 + 4 * i] = static_cast<uint8_t>(10 * i);      // blue
        b[54 + 4 * i + 1] = static_cast<uint8_t>(20 * i);  // green
        b[54 + 4 * i + 2] = static_cast<uint8_t>(30 * i);  // red
    }
    const size_t header = b.size();
    b.resize(header + data.size());
    for (size_t i = 0; i < data.size(); ++i) {
        b[header + i] = data[i];
    }
    PutU32(b, 2, static_cast<uint32_t>(b.size()));
    return b;
}

TEST(BitmapDecodeTest, Rle8RunsLiteralsDeltaAndBottomUpRows) {
    // Bottom row: run of 3 x index 1, literal 2,3,1 (odd, padded); next row: delta (1, 0)
    // then 2 x index 3; end of bitmap.
    const std::vector<uint8_t> data = {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 1, 0, 2, 3, 0, 1};
    IndexedBitmap bitmap;
    const auto file = MakeBitmap(6, 2, 1, data);
    ASSERT_TRUE(DecodeBitmapFile(file.data(), file.size(), bitmap));
    EXPECT_EQ(bitmap.width, 6);
    EXPECT_EQ(bitmap.height, 2);
    EXPECT_EQ(bitmap.colorCount, 4);
    const std::vector<uint8_t> top = {0, 3, 3, 0, 0, 0};
    const std::vector<uint8_t> bottom = {1, 1, 1, 2, 3, 1};
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(bitmap.IndexAt(x, 0), top[x]) << x;
        EXPECT_EQ(bitmap.IndexAt(x, 1), bottom[x]) << x;
    }
    EXPECT_EQ(bitmap.colors[3].red, 90);
    EXPECT_EQ(bitmap.colors[3].green, 60);
    EXPECT_EQ(bitmap.colors[3].blue, 30);
}

TEST(BitmapDecodeTest, DamagedDataStaysInsideThePicture) {
    // Runs past the row's end, deltas past the picture and a literal longer than the data.
    const std::vector<uint8_t> overlong = {200, 1, 0, 2, 250, 250, 9, 2, 0, 40, 1, 2};
    IndexedBitmap bitmap;
    const auto file = MakeBitmap(4, 2, 1, overlong);
    EXPECT_FALSE(DecodeBitmapFile(file.data(), file.size(), bitmap));
    EXPECT_EQ(bitmap.indices.size(), 8u);

    auto truncated = MakeBitmap(4, 4, 0, {1, 2});
    EXPECT_FALSE(DecodeBitmapFile(truncated.data(), truncated.size(), bitmap));
    auto notBitmap = truncated;
    notBitmap[0] = 'X';
    EXPECT_FALSE(DecodeBitmapFile(notBitmap.data(), notBitmap.size(), bitmap));
    EXPECT_FALSE(DecodeBitmapFile(truncated.data(), 20, bitmap));
    auto twentyFourBit = MakeBitmap(1, 1, 0, {1, 2, 3, 0});
    twentyFourBit[28] = 24;
    EXPECT_FALSE(DecodeBitmapFile(twentyFourBit.data(), twentyFourBit.size(), bitmap));
}

TEST(BitmapDecodeTest, UncompressedRowsArePaddedToFourBytes) {
    const std::vector<uint8_t> data = {1, 2, 3, 0, 3, 2, 1, 0};
    IndexedBitmap bitmap;
    const auto file = MakeBitmap(3, 2, 0, data);
    ASSERT_TRUE(DecodeBitmapFile(file.data(), file.size(), bitmap));
    EXPECT_EQ(bitmap.IndexAt(0, 0), 3);
    EXPECT_EQ(bitmap.IndexAt(0, 1), 1);
    EXPECT_EQ(bitmap.IndexAt(2, 1), 3);
}

TEST(BitmapDecodeTest, GlyphSheetLayout) {
    std::ifstream in(KORVANE_TEST_ASSET_DIR "/glyphs.bmp", std::ios::binary);
    ASSERT_TRUE(in) << "glyph sheet missing";
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
    IndexedBitmap sheet;
    ASSERT_TRUE(DecodeBitmapFile(file.data(), file.size(), sheet));
    EXPECT_EQ(sheet.width, 640);
    EXPECT_EQ(sheet.height, 480);
    EXPECT_EQ(sheet.colorCount, 256);
    EXPECT_EQ(sheet.colors[0].red + sheet.colors[0].green + sheet.colors[0].blue, 0);
    // Glyph 114 is a solid block in every band; glyph 25 is blank.
    for (int band = 0; band < 4; ++band) {
        EXPECT_NE(sheet.IndexAt(544 + 8, 72 * band + 48 + 12), 0) << band;
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 16; ++x) {
                ASSERT_EQ(sheet.IndexAt(400 + x, 72 * band + y), 0);
            }
        }
    }
    // Each band is brighter than the one above it.
    int previousGreen = -1;
    for (int band = 0; band < 4; ++band) {
        const auto& c = sheet.colors[sheet.IndexAt(552, 72 * band + 60)];
        EXPECT_GT(c.green, previousGreen);
        previousGreen = c.green;
    }
}

TEST(PaletteRampTest, DefaultRampAndColourCounts) {
    constexpr PaletteTable ramp = DefaultPaletteRamp();
    EXPECT_EQ(ramp[0].red + ramp[0].green + ramp[0].blue, 0);
    EXPECT_EQ(ramp[0x1C].green, 255);
    EXPECT_EQ(ramp[0x1C].red + ramp[0x1C].blue, 0);
    EXPECT_EQ(ramp[3].blue, 255);
    EXPECT_EQ(ramp[0xE0].red, 255);
    EXPECT_EQ(ramp[255].red & ramp[255].green & ramp[255].blue, 255);
    EXPECT_EQ(ramp[0x24].red, 36);  // r = 1
    EXPECT_EQ(ramp[0x24].green, 36);

    EXPECT_EQ(ColorTableCount(40, 8, 256, false), 256u);
    EXPECT_EQ(ColorTableCount(40, 4, 0, false), 16u);
    EXPECT_EQ(ColorTableCount(40, 24, 0, false), 0u);
    EXPECT_EQ(ColorTableCount(124, 8, 0, false), 256u);
    EXPECT_EQ(ColorTableCount(124, 8, 0, true), 0u);
    EXPECT_EQ(ColorTableCount(40, 8, 5000, true), 256u);
    EXPECT_EQ(ColorTableCount(12, 8, 0, false), 0u);
}

}  // namespace
}  // namespace korvane

namespace korvane {
namespace {

// A bitmap resource holds the file without its 14-byte file header.
TEST(PackedBitmapDecodeTest, TheGlyphSheetWithoutItsFileHeaderDecodesToTheSamePicture) {
    std::ifstream in(KORVANE_TEST_ASSET_DIR "/glyphs.bmp", std::ios::binary);
    ASSERT_TRUE(in) << "glyph sheet missing";
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
    IndexedBitmap fromFile;
    ASSERT_TRUE(DecodeBitmapFile(file.data(), file.size(), fromFile));
    IndexedBitmap packed;
    ASSERT_TRUE(DecodePackedBitmap(file.data() + 14, file.size() - 14, packed));
    EXPECT_EQ(packed.width, fromFile.width);
    EXPECT_EQ(packed.height, fromFile.height);
    EXPECT_EQ(packed.colorCount, fromFile.colorCount);
    EXPECT_EQ(packed.indices, fromFile.indices);
    for (size_t i = 0; i < 256; ++i) {
        EXPECT_EQ(packed.colors[i].green, fromFile.colors[i].green) << i;
    }
}

TEST(PackedBitmapDecodeTest, DamagedHeadersAreRefused) {
    const std::vector<uint8_t> data = {1, 2, 3, 0, 3, 2, 1, 0};
    const std::vector<uint8_t> file = MakeBitmap(3, 2, 0, data);
    const std::vector<uint8_t> packed(file.begin() + 14, file.end());
    IndexedBitmap bitmap;
    ASSERT_TRUE(DecodePackedBitmap(packed.data(), packed.size(), bitmap));
    EXPECT_EQ(bitmap.IndexAt(2, 1), 3);

    EXPECT_FALSE(DecodePackedBitmap(nullptr, 100, bitmap));
    EXPECT_FALSE(DecodePackedBitmap(packed.data(), 39, bitmap));
    std::vector<uint8_t> hugeHeader = packed;
    PutU32(hugeHeader, 0, 0xFFFFFFF0u);
    EXPECT_FALSE(DecodePackedBitmap(hugeHeader.data(), hugeHeader.size(), bitmap));
    // Pixels cut off: the colour table claims them.
    EXPECT_FALSE(DecodePackedBitmap(packed.data(), 40 + 16 + 3, bitmap));
}

}  // namespace
}  // namespace korvane
