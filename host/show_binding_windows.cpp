#include "host/show_binding_windows.h"

#include <algorithm>

#include "settings/registry_settings_store_windows.h"
#include "win32/scoped_handles_windows.h"

namespace korvane {

DesktopMode QueryDesktopMode() {
    const WindowDc screen(nullptr);
    // The grid and the pages are made from these sides: each is held to what a page can have.
    const auto side = [&](int index) {
        return std::clamp(GetDeviceCaps(screen.get(), index), 0, kMaxSurfaceSide);
    };
    return {side(HORZRES), side(VERTRES), GetDeviceCaps(screen.get(), BITSPIXEL)};
}

bool LoadShowGlyphSheet(const ShowBinding& binding, IndexedBitmap& sheet) {
    return LoadGlyphSheet(GetModuleHandleA(nullptr), binding.displayPlatform.glyphSheet, sheet);
}

void LoadShowSettings(ShowBinding& binding) {
    LoadSettings(binding.show.settings);  // the defaults where the store has nothing whole
}

void StartShowSound(ShowBinding& binding) {
    if (binding.show.settings.soundEnabled) {
        binding.sound.Start(binding.soundCues(GetModuleHandleA(nullptr)));
    }
}

int32_t SetUpShowDisplay(ShowBinding& binding, HWND window, const DesktopMode& mode,
                         int32_t cellScale) {
    if (binding.settingUpDisplay) {
        return cellScale;
    }
    // Cleared on every way out, a thrown failure included.
    struct SettingUp {
        bool& flag;
        explicit SettingUp(bool& on) : flag(on) { flag = true; }
        SettingUp(const SettingUp&) = delete;
        SettingUp& operator=(const SettingUp&) = delete;
        ~SettingUp() { flag = false; }
    } settingUp(binding.settingUpDisplay);
    binding.mode = mode;  // a set-up again (after a prompt) is for the same mode
    // Exclusive mode belongs to one DirectDraw object at a time: the old display goes first.
    ReplaceShowDisplay(binding, nullptr);
    std::unique_ptr<DisplayDevice> device;
    const bool pagesReady =
        SetUpDisplay(device, window, binding.show.glyphStrip, binding.show.cursorStrip, mode.width,
                     mode.height, mode.bitsPerPixel, binding.displayPlatform, cellScale);
    const int32_t obtained = device != nullptr ? device->cellScale : cellScale;
    ReplaceShowDisplay(binding, std::move(device));
    if (pagesReady) {
        return obtained;
    }
    // No DirectDraw object stays behind: exclusive mode without pages would only stand in
    // the way of GDI, and with no device the prompt never sets one up again.
    return SetUpGdiPages(binding, window, mode, cellScale);
}

int32_t SetUpGdiPages(ShowBinding& binding, HWND window, const DesktopMode& mode,
                      int32_t cellScale) {
    ReplaceShowDisplay(binding, nullptr);
    IndexedBitmap sheet;
    const bool haveSheet = LoadShowGlyphSheet(binding, sheet);
    std::unique_ptr<GdiDisplay> pages =
        SetUpGdiDisplay(window, mode.width, mode.height, haveSheet ? &sheet : nullptr,
                        binding.show.glyphStrip, binding.show.cursorStrip, cellScale);
    const int32_t gdiScale = pages->pages.cellScale;
    ReplaceShowDisplay(binding, std::move(pages));
    return gdiScale;
}

bool LeaveExclusiveMode(ShowBinding& binding, HWND window) {
    DisplayDevice* device = DirectDrawDisplay(binding);
    if (device == nullptr || device->directDraw == nullptr) {
        return false;
    }
    device->directDraw->SetCooperativeLevel(window, DDSCL_NORMAL);
    return true;
}

void DeleteShowDisplay(ShowBinding& binding) {
    ReplaceShowDisplay(binding, nullptr);
}

void ReplaceShowDisplay(ShowBinding& binding, std::unique_ptr<ShowDisplay> next) {
    Show& show = binding.show;
    show.display = nullptr;
    if (binding.display != nullptr) {
        for (SpriteStrip* strip : {&show.glyphStrip, &show.cursorStrip}) {
            strip->sourceSurface = nullptr;
            strip->targetSurface = nullptr;
            strip->workSurface = nullptr;
        }
    }
    binding.display = std::move(next);
    show.display = binding.display.get();
}

DisplayDevice* DirectDrawDisplay(const ShowBinding& binding) {
    return dynamic_cast<DisplayDevice*>(binding.display.get());
}

GdiDisplay* GdiPages(const ShowBinding& binding) {
    return dynamic_cast<GdiDisplay*>(binding.display.get());
}

bool ReadyForFrames(const ShowBinding& binding) {
    return binding.show.grid != nullptr && binding.show.display != nullptr;
}

}  // namespace korvane
