// The real DirectDraw path under the desktop's own depth: the glyph sheet loaded through GDI,
// the grid rendered onto the back buffer, and its pixels compared with the memory display's.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "display/ddraw_display_setup.h"
#include "display/indexed_bitmap.h"
#include "display/memory_display.h"
#include "grid/code_grid.h"
#include "grid/show_random.h"
#include "sprites/sprite_strip.h"

namespace korvane {
namespace {

void IgnoreNotice(HWND, const char* text) {
    ADD_FAILURE() << "set-up reported: " << text;
}

// The display at the factor of the parameter: the sheet and every cell enlarged that many times.
class RealDisplayTest : public ::testing::TestWithParam<int32_t> {
  protected:
    void SetUp() override {
        HDC screen = GetDC(nullptr);
        width = GetDeviceCaps(screen, HORZRES);
        height = GetDeviceCaps(screen, VERTRES);
        depth = GetDeviceCaps(screen, BITSPIXEL);
        ReleaseDC(nullptr, screen);
        window =
            CreateWindowExA(WS_EX_TOPMOST, "STATIC", "Display test", WS_POPUP | WS_VISIBLE, 0, 0,
                            width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        std::printf("desktop %dx%d at %d bits\n", width, height, depth);
    }
    void TearDown() override {
        device.reset();
        DestroyWindow(window);
    }

    std::unique_ptr<DisplayDevice> device;
    HWND window = nullptr;
    int32_t width = 0, height = 0, depth = 0;
};

TEST_P(RealDisplayTest, RenderedGridMatchesTheMemoryDisplay) {
    const int32_t s = GetParam();
    SpriteStrip glyphStrip, cursorStrip;
    DisplaySetUpPlatform platform;
    platform.notify = &IgnoreNotice;
    platform.glyphSheet = KORVANE_TEST_GLYPH_SHEET;
    SetUpDisplay(device, window, glyphStrip, cursorStrip, width, height, depth, platform, s);
    ASSERT_NE(device->spriteSurface.object, nullptr);
    ASSERT_EQ(device->cellScale, s) << "the sheet fell back to a smaller factor";
    ASSERT_NE(device->backBuffer.object, nullptr);

    // Both pages are black after the set-up.
    ASSERT_EQ(device->LockBackBuffer(), kDisplayOk);
    for (int32_t y = 0; y < device->lockedHeight; y += 7) {
        for (int32_t x = 0; x < device->lockedWidth * device->bytesPerPixel; ++x) {
            ASSERT_EQ(device->pixels[y * device->pitch + x], 0) << x << "," << y;
        }
    }
    ASSERT_EQ(device->UnlockBackBuffer(), kDisplayOk);

    // The colour key is the sheet's black.
    DDCOLORKEY key{};
    ASSERT_EQ(device->spriteSurface.object->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    EXPECT_EQ(key.dwColorSpaceLowValue, 0u);

    std::ifstream in(KORVANE_TEST_ASSET_DIR "/glyphs.bmp", std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
    IndexedBitmap sheet;
    ASSERT_TRUE(DecodeBitmapFile(file.data(), file.size(), sheet));
    SpriteStrip memoryGlyphs, memoryCursor;
    MemoryDisplay memory(width, height, depth == 24 ? 32 : depth);
    SetUpMemoryDisplay(memory, &sheet, memoryGlyphs, memoryCursor, s);
    ASSERT_EQ(memory.backBuffer.bytesPerPixel, device->bytesPerPixel);

    ShowRandom random;
    CodeGrid grid(width / (16 * s), height / (24 * s), random, s);
    for (size_t i = 0; i < grid.cells.size(); ++i) {
        grid.cells[i] = static_cast<int32_t>((i * 7) % 468);
    }
    grid.redrawRegion = {0, 0, grid.cols, grid.rows};

    const auto start = std::chrono::steady_clock::now();
    constexpr int kFrames = 20;
    for (int frame = 0; frame < kFrames; ++frame) {
        device->FlipPages();
        grid.Render(glyphStrip);
    }
    const double perFrame =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count() /
        kFrames;
    std::printf("full-region frame (flip + %d cells): %.2f ms\n", grid.cols * grid.rows, perFrame);
    grid.Render(memoryGlyphs);

    // The cursor's last frame is all but black: keyed, it leaves the glyph under it.
    cursorStrip.SelectFrame(7);
    memoryCursor.SelectFrame(7);
    cursorStrip.Draw(16 * s * 2, 24 * s * 3);
    memoryCursor.Draw(16 * s * 2, 24 * s * 3);
    cursorStrip.SelectFrame(2);
    memoryCursor.SelectFrame(2);
    cursorStrip.Draw(16 * s * 4, 24 * s * 3);
    memoryCursor.Draw(16 * s * 4, 24 * s * 3);

    ASSERT_EQ(device->LockBackBuffer(), kDisplayOk);
    const int32_t bpp = device->bytesPerPixel;
    int32_t mismatches = 0;
    for (int32_t y = 0; y < grid.rows * 24 * s && mismatches < 10; ++y) {
        for (int32_t x = 0; x < grid.cols * 16 * s && mismatches < 10; ++x) {
            uint32_t real = 0;
            for (int32_t i = 0; i < bpp; ++i) {
                real |= static_cast<uint32_t>(device->pixels[y * device->pitch + x * bpp + i])
                        << (8 * i);
            }
            if (bpp == 4) {
                real &= 0xFFFFFFu;
            }
            const uint32_t expected = memory.backBuffer.PixelAt(x, y);
            if (real != expected) {
                ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << real
                              << " != " << expected;
                ++mismatches;
            }
        }
    }
    device->UnlockBackBuffer();
}

// The saver loads its glyph sheet as bitmap resource 111 of its own module; what lands on the
// sprite surface must be the very picture of the generated file, enlarged by the factor.
TEST_P(RealDisplayTest, GlyphSheetResourceMatchesTheFile) {
    const int32_t s = GetParam();
    ASSERT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(111), reinterpret_cast<LPCSTR>(RT_BITMAP)),
              nullptr)
        << "the test runner carries no bitmap 111";
    SpriteStrip glyphStrip, cursorStrip;
    DisplaySetUpPlatform platform;
    platform.notify = &IgnoreNotice;
    ASSERT_TRUE(IS_INTRESOURCE(platform.glyphSheet));
    SetUpDisplay(device, window, glyphStrip, cursorStrip, width, height, depth, platform, s);
    IDirectDrawSurface* sprite = device->spriteSurface.object;
    ASSERT_NE(sprite, nullptr) << "bitmap 111 did not load";

    IndexedBitmap sheet;
    ASSERT_TRUE(ReadBitmapFile(KORVANE_TEST_ASSET_DIR "/glyphs.bmp", sheet));

    DDSURFACEDESC description;
    std::memset(&description, 0, sizeof(description));
    description.dwSize = sizeof(description);
    HRESULT locked;
    do {
        locked = sprite->Lock(nullptr, &description, DDLOCK_WAIT, nullptr);
    } while (locked == DDERR_WASSTILLDRAWING);
    ASSERT_EQ(locked, DD_OK);
    const int32_t bpp = static_cast<int32_t>(description.ddpfPixelFormat.dwRGBBitCount) / 8;
    const MemorySurface expected = SurfaceFromBitmap(EnlargeBitmap(sheet, s), bpp);
    EXPECT_EQ(static_cast<int32_t>(description.dwWidth), expected.width);
    EXPECT_EQ(static_cast<int32_t>(description.dwHeight), expected.height);
    const auto* pixels = static_cast<const uint8_t*>(description.lpSurface);
    int32_t mismatches = 0;
    int32_t lit = 0;
    for (int32_t y = 0; y < expected.height && mismatches < 10; ++y) {
        for (int32_t x = 0; x < expected.width && mismatches < 10; ++x) {
            uint32_t real = 0;
            for (int32_t i = 0; i < bpp; ++i) {
                real |= static_cast<uint32_t>(pixels[y * description.lPitch + x * bpp + i])
                        << (8 * i);
            }
            if (bpp == 4) {
                real &= 0xFFFFFFu;
            }
            lit += real != 0 ? 1 : 0;
            if (real != expected.PixelAt(x, y)) {
                ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << real
                              << " != " << expected.PixelAt(x, y);
                ++mismatches;
            }
        }
    }
    sprite->Unlock(nullptr);
    EXPECT_GT(lit, 1000) << "the sheet came out (nearly) black";
}

INSTANTIATE_TEST_SUITE_P(Factors, RealDisplayTest, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                             return "Scale" + std::to_string(info.param);
                         });

}  // namespace
}  // namespace korvane
