#include "display/ddraw_display_setup.h"

#include "display/cursor_frames.h"
#include "display/ddraw_bitmap_loading.h"
#include "display/sprite_strip.h"

namespace korvane {

namespace {
constexpr int32_t kFirstDepthWithoutPalette = 15;
constexpr COLORREF kBlack = 0;
}  // namespace

void ShowDisplayErrorBox(const char* text) {
    MessageBoxA(nullptr, text, "ERROR!!", MB_OK);
}

void SetUpDisplay(std::unique_ptr<DisplayDevice>& device, HWND saverWindow, SpriteStrip& glyphStrip,
                  SpriteStrip& cursorStrip, int32_t width, int32_t height, int32_t depth,
                  const DisplaySetUpPlatform& platform) {
    // The old device goes first: exclusive mode belongs to one DirectDraw object at a time.
    device.reset();
    device = std::make_unique<DisplayDevice>(platform.directDrawCreate);

    bool pagesReady = false;
    if (device->Create(saverWindow) != kDisplayOk) {
        platform.notify("Create not Successful");
    } else if (device->CreateSurfaces(width, height, depth) != kDisplayOk) {
        platform.notify("NO VIDEOMODE");
    } else {
        pagesReady = true;
    }

    if (depth < kFirstDepthWithoutPalette) {
        device->palette = LoadPalette(device->directDraw, platform.glyphSheet);
        if (device->primarySurface.object != nullptr && device->palette != nullptr) {
            device->primarySurface.object->SetPalette(device->palette);
        }
    }

    device->spriteSurface.object = LoadBitmapSurface(device->directDraw, platform.glyphSheet, 0, 0);
    if (device->spriteSurface.object != nullptr) {
        SetSourceColorKey(device->spriteSurface.object, kBlack);
    } else {
        platform.notify("NO SPRITES");
    }

    WireStrips(glyphStrip, cursorStrip, &device->spriteSurface, &device->backBuffer,
               &device->workSurface);

    // The first flip comes last, once every surface of the run holds its memory. Wine's
    // renderer without OpenGL frees the memory of its swap chain's back buffer at every
    // present, yet keeps presenting through a device context over that freed block; it
    // survives only while the block is handed back by the next present. A surface allocated
    // between two flips (the glyph sheet, loaded after the first one) takes the block, and
    // the next Flip reads unmapped memory. Nothing is drawn before this point, so the
    // screen shows the same either way.
    if (pagesReady) {
        device->ClearFlipClear();
    }
}

}  // namespace korvane
