#include "host/show_binding_windows.h"

#include "settings/registry_settings_store_windows.h"
#include "win32/scoped_handles_windows.h"

namespace korvane {

DesktopMode QueryDesktopMode() {
    const WindowDc screen(nullptr);
    return {GetDeviceCaps(screen.get(), HORZRES), GetDeviceCaps(screen.get(), VERTRES),
            GetDeviceCaps(screen.get(), BITSPIXEL)};
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

void SetUpShowDisplay(ShowBinding& binding, HWND window, const DesktopMode& mode) {
    if (binding.settingUpDisplay) {
        return;
    }
    // Cleared on every way out, a thrown failure included.
    struct SettingUp {
        bool& flag;
        explicit SettingUp(bool& on) : flag(on) { flag = true; }
        SettingUp(const SettingUp&) = delete;
        SettingUp& operator=(const SettingUp&) = delete;
        ~SettingUp() { flag = false; }
    } settingUp(binding.settingUpDisplay);
    // The show must never hold the device that the set-up is about to destroy.
    binding.show.display = nullptr;
    binding.gdiDisplay.reset();
    const bool pagesReady =
        SetUpDisplay(binding.display, window, binding.show.glyphStrip, binding.show.cursorStrip,
                     mode.width, mode.height, mode.bitsPerPixel, binding.displayPlatform);
    if (pagesReady) {
        binding.show.display = binding.display.get();
        return;
    }
    // No DirectDraw object stays behind: exclusive mode without pages would only stand in
    // the way of GDI, and with no device the prompt never sets one up again.
    binding.display.reset();
    IndexedBitmap sheet;
    const bool haveSheet = LoadShowGlyphSheet(binding, sheet);
    binding.gdiDisplay =
        SetUpGdiDisplay(window, mode.width, mode.height, haveSheet ? &sheet : nullptr,
                        binding.show.glyphStrip, binding.show.cursorStrip);
    binding.show.display = binding.gdiDisplay.get();
}

bool LeaveExclusiveMode(ShowBinding& binding, HWND window) {
    if (binding.display == nullptr || binding.display->directDraw == nullptr) {
        return false;
    }
    binding.display->directDraw->SetCooperativeLevel(window, DDSCL_NORMAL);
    return true;
}

void DeleteShowDisplay(ShowBinding& binding) {
    binding.show.display = nullptr;
    binding.display.reset();
    binding.gdiDisplay.reset();
}

bool ReadyForFrames(const ShowBinding& binding) {
    return binding.show.grid != nullptr && binding.show.display != nullptr;
}

}  // namespace korvane
