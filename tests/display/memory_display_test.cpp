#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "display/indexed_bitmap.h"
#include "display/memory_display.h"
#include "grid/code_grid.h"
#include "grid/show_random.h"
#include "sprites/color_depth.h"
#include "sprites/cursor_frames.h"
#include "sprites/sprite_strip.h"

namespace korvane {
namespace {

IndexedBitmap LoadSheet() {
    std::ifstream in(KORVANE_TEST_ASSET_DIR "/glyphs.bmp", std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
    IndexedBitmap sheet;
    EXPECT_TRUE(DecodeBitmapFile(file.data(), file.size(), sheet)) << "glyph sheet missing";
    return sheet;
}

TEST(MemorySurfaceTest, OpaqueAndKeyedCopies) {
    MemorySurface source(4, 2, 4);
    source.SetPixel(0, 0, 0);
    source.SetPixel(1, 0, 0x00FF00);
    source.SetPixel(2, 0, 0x123456);
    source.hasColorKey = true;
    source.colorKey = 0;
    MemorySurface target(8, 4, 4);
    target.Fill(0xABCDEF);

    EXPECT_EQ(target.BltFast(2, 1, source, {0, 0, 3, 1}, kBltSourceColorKey), kDisplayOk);
    EXPECT_EQ(target.PixelAt(2, 1), 0xABCDEFu);  // key pixel left the target alone
    EXPECT_EQ(target.PixelAt(3, 1), 0x00FF00u);
    EXPECT_EQ(target.PixelAt(4, 1), 0x123456u);
    EXPECT_EQ(target.PixelAt(1, 1), 0xABCDEFu);

    EXPECT_EQ(target.BltFast(2, 1, source, {0, 0, 3, 1}, kBltNoColorKey), kDisplayOk);
    EXPECT_EQ(target.PixelAt(2, 1), 0u);
}

// Each depth has its own copy loops; an odd width and a key in mid-row catch a loop that
// steps by the wrong pixel size or copies a whole row regardless of the key.
TEST(MemorySurfaceTest, KeyedAndOpaqueCopiesAtEveryPixelSize) {
    for (int32_t bytesPerPixel = 1; bytesPerPixel <= 4; ++bytesPerPixel) {
        const uint32_t mask = bytesPerPixel == 4 ? 0xFFFFFFFFu : (1u << (8 * bytesPerPixel)) - 1;
        MemorySurface source(7, 3, bytesPerPixel);
        for (int32_t y = 0; y < 3; ++y) {
            for (int32_t x = 0; x < 7; ++x) {
                source.SetPixel(x, y, (0x9E3779B1u * static_cast<uint32_t>(y * 7 + x + 1)) & mask);
            }
        }
        source.SetPixel(3, 1, 0x5A & mask);
        source.colorKey = 0x5A & mask;
        source.hasColorKey = true;
        const PixelRect rect{1, 0, 6, 3};

        MemorySurface keyed(9, 5, bytesPerPixel);
        keyed.Fill(0x77 & mask);
        ASSERT_EQ(keyed.BltFast(3, 2, source, rect, kBltSourceColorKey), kDisplayOk);
        MemorySurface opaque(9, 5, bytesPerPixel);
        opaque.Fill(0x77 & mask);
        ASSERT_EQ(opaque.BltFast(3, 2, source, rect, kBltNoColorKey), kDisplayOk);
        for (int32_t y = 0; y < 5; ++y) {
            for (int32_t x = 0; x < 9; ++x) {
                const bool inside = x >= 3 && x < 8 && y >= 2;
                const uint32_t copied = inside ? source.PixelAt(x - 2, y - 2) : 0x77 & mask;
                const bool isKey = inside && copied == source.colorKey;
                EXPECT_EQ(opaque.PixelAt(x, y), copied) << bytesPerPixel << ": " << x << "," << y;
                EXPECT_EQ(keyed.PixelAt(x, y), isKey ? 0x77 & mask : copied)
                    << bytesPerPixel << ": " << x << "," << y;
            }
        }
        EXPECT_EQ(keyed.PixelAt(5, 3), 0x77 & mask);  // the key pixel itself
    }
}

TEST(MemorySurfaceTest, CopiesThatDoNotFitAreRefused) {
    MemorySurface source(4, 4, 2);
    MemorySurface target(8, 8, 2);
    target.Fill(7);
    EXPECT_EQ(target.BltFast(6, 0, source, {0, 0, 4, 4}, 0), kInvalidRect);
    EXPECT_EQ(target.BltFast(-1, 0, source, {0, 0, 4, 4}, 0), kInvalidRect);
    EXPECT_EQ(target.BltFast(0, 0, source, {1, 1, 5, 2}, 0), kInvalidRect);
    EXPECT_EQ(target.BltFast(0, 0, source, {2, 2, 2, 3}, 0), kInvalidRect);
    MemorySurface otherDepth(4, 4, 4);
    EXPECT_EQ(target.BltFast(0, 0, otherDepth, {0, 0, 4, 4}, 0), kNoObject);
    MemorySurface empty;
    EXPECT_EQ(target.BltFast(0, 0, empty, {0, 0, 1, 1}, 0), kNoObject);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            ASSERT_EQ(target.PixelAt(x, y), 7u);
        }
    }
}

// A band must leave the pixels a copy at a time leaves, and answer as the first refusal would:
// for the plain rows of cells it takes at once and for every band it has to take in turn.
TEST(MemorySurfaceTest, ABandIsTheCopiesInTurn) {
    struct Case {
        const char* what;
        int32_t bytesPerPixel;
        int32_t y;
        std::vector<BandCopy> copies;
        uint32_t flags = kBltNoColorKey;
        bool fromItself = false;
    };
    const std::vector<Case> cases = {
        {"cells at 1 byte", 1, 2, {{0, {0, 0, 16, 6}}, {16, {16, 4, 32, 10}}, {48, {8, 1, 24, 7}}}},
        {"cells at 2 bytes", 2, 0, {{4, {0, 0, 16, 6}}, {20, {16, 4, 32, 10}}}},
        {"cells at 3 bytes", 3, 5, {{0, {3, 2, 19, 8}}, {32, {0, 0, 16, 6}}}},
        {"cells at 4 bytes, any width", 4, 1, {{0, {0, 0, 5, 3}}, {5, {7, 7, 12, 10}}}},
        {"overlapping targets", 4, 0, {{0, {0, 0, 16, 6}}, {8, {16, 4, 32, 10}}}},
        {"one copy past the edge",
         4,
         0,
         {{0, {0, 0, 16, 6}}, {60, {0, 0, 16, 6}}, {16, {16, 4, 32, 10}}}},
        {"one source past its edge", 2, 0, {{0, {30, 0, 46, 6}}, {16, {0, 0, 16, 6}}}},
        {"a band below the page", 4, 30, {{0, {0, 0, 16, 6}}}},
        {"copies of two heights", 4, 0, {{0, {0, 0, 16, 6}}, {16, {0, 0, 16, 9}}}},
        {"keyed copies", 4, 0, {{0, {0, 0, 16, 6}}, {16, {16, 4, 32, 10}}}, kBltSourceColorKey},
        {"from the page itself", 4, 2, {{0, {0, 0, 16, 6}}, {16, {0, 4, 16, 10}}}, 0, true},
    };
    for (const Case& c : cases) {
        MemorySurface source(40, 12, c.bytesPerPixel);
        for (int32_t y = 0; y < source.height; ++y) {
            for (int32_t x = 0; x < source.width; ++x) {
                source.SetPixel(x, y, static_cast<uint32_t>(y * 40 + x) % 5 == 0 ? 0 : y * 40 + x);
            }
        }
        source.hasColorKey = true;
        MemorySurface inTurn(64, 32, c.bytesPerPixel);
        inTurn.Fill(3);
        if (c.fromItself) {
            inTurn = source;
        }
        MemorySurface band = inTurn;
        DisplayResult firstAnswer = kDisplayOk;
        for (const BandCopy& copy : c.copies) {
            const DisplayResult answer =
                inTurn.BltFast(copy.x, c.y, c.fromItself ? inTurn : source, copy.rect, c.flags);
            firstAnswer = firstAnswer == kDisplayOk ? answer : firstAnswer;
        }
        EXPECT_EQ(band.BltFastBand(c.y, c.fromItself ? band : source, c.copies, c.flags),
                  firstAnswer)
            << c.what;
        EXPECT_EQ(band.bytes, inTurn.bytes) << c.what;
    }
}

TEST(MemorySurfaceTest, SidesOrDepthsOutOfRangeMakeAnEmptySurface) {
    struct Size {
        int32_t width;
        int32_t height;
        int32_t bytesPerPixel;
    };
    const Size refused[] = {{-1, 10, 4},
                            {10, -24, 4},
                            {0, 10, 4},
                            {INT32_MIN, INT32_MIN, 4},
                            {INT32_MAX, INT32_MAX, 4},
                            // 2^34 bytes, which a 32-bit product wraps to none at all.
                            {65536, 65536, 4},
                            {kMaxSurfaceSide + 1, 1, 1},
                            {1, kMaxSurfaceSide + 1, 1},
                            {10, 10, 0},
                            {10, 10, 5},
                            {10, 10, -4}};
    MemorySurface source(4, 4, 4);
    for (const Size& size : refused) {
        SCOPED_TRACE(testing::Message()
                     << size.width << " x " << size.height << " x " << size.bytesPerPixel);
        MemorySurface surface(size.width, size.height, size.bytesPerPixel);
        EXPECT_TRUE(surface.Empty());
        EXPECT_EQ(surface.width, 0);
        EXPECT_EQ(surface.height, 0);
        EXPECT_EQ(surface.pitch, 0);
        surface.Fill(1);
        EXPECT_EQ(surface.BltFast(0, 0, source, {0, 0, 1, 1}, 0), kNoObject);
    }
    const MemorySurface longest(kMaxSurfaceSide, 2, 4);
    EXPECT_EQ(longest.pitch, kMaxSurfaceSide * 4);
    EXPECT_EQ(longest.bytes.size(), static_cast<size_t>(kMaxSurfaceSide) * 8);
}

TEST(MemorySurfaceTest, PixelEncodingPerDepth) {
    const PaletteColor green{16, 255, 8};
    EXPECT_EQ(EncodePixel(green, 9, 1), 9u);
    EXPECT_EQ(EncodePixel(green, 9, 2), (2u << 11) | (63u << 5) | 1u);
    EXPECT_EQ(EncodePixel(green, 9, 3), 0x10FF08u);
    EXPECT_EQ(EncodePixel(green, 9, 4), 0x10FF08u);
}

TEST(MemoryDisplayTest, FlipSwapsPagesAndClearBlacksBoth) {
    MemoryDisplay display(32, 24, 32);
    EXPECT_EQ(display.backBuffer.bytesPerPixel, 4);
    display.backBuffer.SetPixel(1, 1, 0x00FF00);
    display.primarySurface.SetPixel(2, 2, 0x0000FF);
    EXPECT_EQ(display.FlipPages(), kDisplayOk);
    EXPECT_EQ(display.primarySurface.PixelAt(1, 1), 0x00FF00u);
    // The back buffer now holds the page that was on screen, untouched.
    EXPECT_EQ(display.backBuffer.PixelAt(2, 2), 0x0000FFu);
    display.ClearFlipClear();
    for (const MemorySurface* page : {&display.primarySurface, &display.backBuffer}) {
        for (uint8_t byte : page->bytes) {
            ASSERT_EQ(byte, 0);
        }
    }
    EXPECT_EQ(BytesPerPixelForDepth(8), 1);
    EXPECT_EQ(BytesPerPixelForDepth(15), 1);
    EXPECT_EQ(BytesPerPixelForDepth(16), 2);
    EXPECT_EQ(BytesPerPixelForDepth(24), 3);
}

TEST(MemoryDisplayTest, SetUpWiresStripsAndRepeatsCursorFrames) {
    const IndexedBitmap sheet = LoadSheet();
    SpriteStrip glyphStrip;
    SpriteStrip cursorStrip;
    MemoryDisplay first(64, 48, 16);
    SetUpMemoryDisplay(first, &sheet, glyphStrip, cursorStrip);
    EXPECT_EQ(glyphStrip.bltFlags, kBltNoColorKey);
    EXPECT_EQ(cursorStrip.bltFlags, kBltSourceColorKey);
    EXPECT_EQ(cursorStrip.frameCount, 8);
    EXPECT_EQ(cursorStrip.sourceRect.left, 544);
    EXPECT_EQ(cursorStrip.sourceRect.top, 48);
    EXPECT_EQ(cursorStrip.targetSurface, &first.backBuffer);
    EXPECT_EQ(glyphStrip.sourceSurface, &first.spriteSurface);
    EXPECT_EQ(glyphStrip.workSurface, &first.workSurface);

    cursorStrip.SelectFrame(5);
    MemoryDisplay second(64, 48, 16);
    SetUpMemoryDisplay(second, &sheet, glyphStrip, cursorStrip);
    EXPECT_EQ(cursorStrip.frameCount, 16);
    EXPECT_EQ(cursorStrip.sourceRect.top, 120);  // a later set-up leaves the frame alone
    EXPECT_EQ(cursorStrip.targetSurface, &second.backBuffer);
    EXPECT_EQ(glyphStrip.sourceSurface, &second.spriteSurface);
    for (int k = 0; k < 8; ++k) {
        cursorStrip.SelectFrame(k);
        const PixelRect a = cursorStrip.sourceRect;
        cursorStrip.SelectFrame(k + 8);
        EXPECT_EQ(a.left, cursorStrip.sourceRect.left);
        EXPECT_EQ(a.top, cursorStrip.sourceRect.top);
        EXPECT_EQ(a.top, kCursorFrames[static_cast<size_t>(k)].top);
    }
}

// The sheet and the cursor frames grow by the factor asked for, within 1 to 4; a later set-up
// at another factor brings the frames added earlier to its own.
TEST(MemoryDisplayTest, SetUpAtAFactorEnlargesTheSheetAndTheCursorFrames) {
    const IndexedBitmap sheet = LoadSheet();
    SpriteStrip glyphStrip;
    SpriteStrip cursorStrip;
    MemoryDisplay large(640, 480, 32);
    SetUpMemoryDisplay(large, &sheet, glyphStrip, cursorStrip, 3);
    EXPECT_EQ(large.cellScale, 3);
    EXPECT_EQ(large.spriteSurface.width, 3 * sheet.width);
    EXPECT_EQ(large.spriteSurface.height, 3 * sheet.height);
    EXPECT_TRUE(large.spriteSurface.hasColorKey);
    for (int k = 0; k < 8; ++k) {
        cursorStrip.SelectFrame(k);
        EXPECT_EQ(cursorStrip.sourceRect.left, 3 * kCursorFrames[static_cast<size_t>(k)].left);
        EXPECT_EQ(cursorStrip.sourceRect.bottom, 3 * kCursorFrames[static_cast<size_t>(k)].bottom);
    }

    MemoryDisplay plain(640, 480, 32);
    SetUpMemoryDisplay(plain, &sheet, glyphStrip, cursorStrip, 1);
    ASSERT_EQ(cursorStrip.frameCount, 16);
    for (int k = 0; k < 16; ++k) {
        cursorStrip.SelectFrame(k);
        EXPECT_EQ(cursorStrip.sourceRect.top, kCursorFrames[static_cast<size_t>(k % 8)].top) << k;
        EXPECT_EQ(cursorStrip.sourceRect.right, kCursorFrames[static_cast<size_t>(k % 8)].right);
    }

    MemoryDisplay beyond(64, 48, 8);
    SetUpMemoryDisplay(beyond, &sheet, glyphStrip, cursorStrip, 9);
    EXPECT_EQ(beyond.cellScale, 4);
    EXPECT_EQ(beyond.spriteSurface.width, 4 * sheet.width);
    SetUpMemoryDisplay(beyond, &sheet, glyphStrip, cursorStrip, 0);
    EXPECT_EQ(beyond.cellScale, 1);
    EXPECT_EQ(beyond.spriteSurface.width, sheet.width);
}

TEST(MemoryDisplayTest, MissingSheetLeavesStripsWithoutCopies) {
    SpriteStrip glyphStrip;
    SpriteStrip cursorStrip;
    MemoryDisplay display(64, 48, 32);
    SetUpMemoryDisplay(display, nullptr, glyphStrip, cursorStrip);
    EXPECT_EQ(cursorStrip.frameCount, 8);
    EXPECT_EQ(glyphStrip.bltFlags, kBltNoColorKey);
    EXPECT_NE(glyphStrip.Draw(0, 0), kDisplayOk);
    for (uint8_t byte : display.backBuffer.bytes) {
        ASSERT_EQ(byte, 0);
    }
}

// Every rendered cell is the sheet's cell for its code, each of its pixels a square of
// scale x scale screen pixels; the cursor's black leaves the cell under it alone, and the back
// buffer keeps what it held outside the region.
class MemoryRenderTest : public ::testing::TestWithParam<std::tuple<int32_t, int32_t>> {};

TEST_P(MemoryRenderTest, GridCellsAreTheSheetsCells) {
    const auto [depth, s] = GetParam();
    const IndexedBitmap sheet = LoadSheet();
    SpriteStrip glyphStrip;
    SpriteStrip cursorStrip;
    MemoryDisplay display(640 * s, 480 * s, depth);
    SetUpMemoryDisplay(display, &sheet, glyphStrip, cursorStrip, s);
    ShowRandom random;
    CodeGrid grid(40, 20, random, s);
    for (int32_t r = 0; r < grid.rows; ++r) {
        for (int32_t c = 0; c < grid.cols; ++c) {
            grid.cells[static_cast<size_t>(r * grid.cols + c)] = (r * 40 + c) % 468;
        }
    }
    display.backBuffer.SetPixel(0, 0, 0x1F);  // outside the region below
    grid.redrawRegion = {0, 3, grid.cols, 20};
    grid.Render(glyphStrip);
    // The design's sheet at this depth: what every square must repeat.
    const MemorySurface design = SurfaceFromBitmap(sheet, display.backBuffer.bytesPerPixel);
    for (int32_t r = 3; r < 20; ++r) {
        for (int32_t c = 0; c < 40; ++c) {
            const int32_t code = grid.cells[static_cast<size_t>(r * grid.cols + c)];
            const int32_t sx = 16 * ((code >> 2) % 40);
            const int32_t sy = 72 * (code & 3) + 24 * ((code >> 2) / 40);
            for (int32_t y = 0; y < 24 * s; ++y) {
                for (int32_t x = 0; x < 16 * s; ++x) {
                    ASSERT_EQ(display.backBuffer.PixelAt(16 * s * c + x, 24 * s * r + y),
                              design.PixelAt(sx + x / s, sy + y / s))
                        << "cell " << c << "," << r;
                }
            }
        }
    }
    EXPECT_EQ(display.backBuffer.PixelAt(0, 0), 0x1Fu);

    // Frame 7 (cell 116) is black but for a few dark pixels: drawn keyed, it leaves the
    // glyph under it visible.
    const int32_t cursorX = 16 * s * 5;
    const int32_t cursorY = 24 * s * 10;
    const uint32_t under = display.backBuffer.PixelAt(cursorX + 8 * s, cursorY + 12 * s);
    cursorStrip.SelectFrame(7);
    cursorStrip.Draw(cursorX, cursorY);
    EXPECT_EQ(display.backBuffer.PixelAt(cursorX + 8 * s, cursorY + 12 * s), under);
    cursorStrip.SelectFrame(3);
    cursorStrip.Draw(cursorX, cursorY);
    EXPECT_EQ(display.backBuffer.PixelAt(cursorX + 8 * s + s - 1, cursorY + 12 * s),
              design.PixelAt(544 + 8, 264 + 12));
}

INSTANTIATE_TEST_SUITE_P(DepthsAndFactors, MemoryRenderTest,
                         ::testing::Combine(::testing::Values(8, 16, 24, 32),
                                            ::testing::Values(1, 2, 3)),
                         [](const auto& info) {
                             return "Depth" + std::to_string(std::get<0>(info.param)) + "Scale" +
                                    std::to_string(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace korvane
