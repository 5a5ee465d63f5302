// The display device gives back every DirectDraw reference it takes: against stand-ins that
// count references as DirectDraw does, nothing outlives the device.
#include <gtest/gtest.h>

#include <memory>

#include "display/ddraw_display_setup.h"
#include "sprites/sprite_strip.h"
#include "tests/display/counting_ddraw_windows.h"

namespace korvane {
namespace {

testing::LiveObjects live;

HRESULT WINAPI CreateCounted(GUID*, IDirectDraw** directDraw, IUnknown*) {
    *directDraw = new testing::CountedDirectDraw(live);
    return DD_OK;
}

void IgnoreNotice(HWND, const char*) {}

TEST(DisplayReferences, NothingOutlivesTheDeviceAtAnyDepth) {
    for (int32_t depth : {8, 16, 32}) {
        live.count = 0;
        SpriteStrip glyphStrip, cursorStrip;
        DisplaySetUpPlatform platform;
        platform.directDrawCreate = &CreateCounted;
        platform.notify = &IgnoreNotice;
        platform.glyphSheet = KORVANE_TEST_GLYPH_SHEET;
        std::unique_ptr<DisplayDevice> device;
        SetUpDisplay(device, nullptr, glyphStrip, cursorStrip, 64, 48, depth, platform);
        ASSERT_NE(device->spriteSurface.object, nullptr) << depth;
        EXPECT_GT(live.count, 0);
        // A set-up over a running one replaces it whole.
        const int afterOne = live.count;
        SetUpDisplay(device, nullptr, glyphStrip, cursorStrip, 64, 48, depth, platform);
        EXPECT_EQ(live.count, afterOne) << "bits per pixel " << depth;
        device.reset();
        EXPECT_EQ(live.count, 0) << "bits per pixel " << depth;
    }
}

TEST(DisplayReferences, ANewFlipChainReleasesTheOldOne) {
    live.count = 0;
    {
        DisplayDevice device(&CreateCounted);
        ASSERT_EQ(device.Create(nullptr), kDisplayOk);
        ASSERT_EQ(device.CreateSurfaces(8, 3, 8), kDisplayOk);
        const int afterOne = live.count;
        ASSERT_EQ(device.CreateSurfaces(8, 3, 8), kDisplayOk);
        EXPECT_EQ(live.count, afterOne);
    }
    EXPECT_EQ(live.count, 0);
}

}  // namespace
}  // namespace korvane
