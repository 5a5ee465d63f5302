#include "display/ddraw_display_setup.h"

#include "display/ddraw_bitmap_loading.h"
#include "sprites/cell_scale.h"
#include "sprites/cursor_frames.h"
#include "sprites/sprite_strip.h"

namespace korvane {

namespace {
constexpr int32_t kFirstDepthWithoutPalette = 15;
constexpr COLORREF kBlack = 0;
}  // namespace

void ShowDisplayErrorBox(HWND owner, const char* text) {
    MessageBoxA(owner, text, "ERROR!!", MB_OK);
}

bool SetUpDisplay(std::unique_ptr<DisplayDevice>& device, HWND saverWindow, SpriteStrip& glyphStrip,
                  SpriteStrip& cursorStrip, int32_t width, int32_t height, int32_t depth,
                  const DisplaySetUpPlatform& platform, int32_t cellScale) {
    // The old device goes first: exclusive mode belongs to one DirectDraw object at a time.
    device.reset();
    for (SpriteStrip* strip : {&glyphStrip, &cursorStrip}) {
        strip->sourceSurface = nullptr;
        strip->targetSurface = nullptr;
        strip->workSurface = nullptr;
    }
    auto made = std::make_unique<DisplayDevice>(platform.directDrawCreate);

    bool pagesReady = false;
    if (made->Create(saverWindow) != kDisplayOk) {
        platform.notify(saverWindow, "Create not Successful");
    } else if (made->CreateSurfaces(width, height, depth) != kDisplayOk) {
        platform.notify(saverWindow, "NO VIDEOMODE");
    } else {
        pagesReady = true;
    }

    if (depth < kFirstDepthWithoutPalette) {
        IDirectDrawPalette* sheetPalette = LoadPalette(made->directDraw, platform.glyphSheet);
        // The sheet's colours replace the stand-in ramp; our reference on the ramp goes.
        if (made->palette != nullptr && sheetPalette != nullptr) {
            made->palette->Release();
            made->palette = nullptr;
        }
        if (sheetPalette != nullptr) {
            made->palette = sheetPalette;
        }
        if (made->primarySurface.object != nullptr && made->palette != nullptr) {
            made->primarySurface.object->SetPalette(made->palette);
        }
    }

    const SheetSurface sheet =
        LoadSheetSurface(made->directDraw, platform.glyphSheet, ClampCellScale(cellScale));
    made->spriteSurface.object = sheet.surface;
    made->cellScale = sheet.cellScale;
    if (made->spriteSurface.object != nullptr) {
        BusyBudget colorMatchBudget(platform.clock);
        SetSourceColorKey(made->spriteSurface.object, kBlack, colorMatchBudget);
    } else {
        platform.notify(saverWindow, "NO SPRITES");
    }

    WireStrips(glyphStrip, cursorStrip, &made->spriteSurface, &made->backBuffer, &made->workSurface,
               made->cellScale);

    // The first flip comes last, once every surface of the run holds its memory. Wine's
    // renderer without OpenGL frees the memory of its swap chain's back buffer at every
    // present, yet keeps presenting through a device context over that freed block; it
    // survives only while the block is handed back by the next present. A surface allocated
    // between two flips (the glyph sheet, loaded after the first one) takes the block, and
    // the next Flip reads unmapped memory. Nothing is drawn before this point, so the
    // screen shows the same either way.
    if (pagesReady) {
        made->ClearFlipClear();
    }
    device = std::move(made);
    return pagesReady;
}

}  // namespace korvane
