#include "host/show_binding_windows.h"

#include "settings/registry_settings_store_windows.h"

namespace korvane {

DesktopMode QueryDesktopMode() {
    HDC screen = GetDC(nullptr);
    DesktopMode mode{GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES),
                     GetDeviceCaps(screen, BITSPIXEL)};
    ReleaseDC(nullptr, screen);
    return mode;
}

void LoadShowSettings(ShowBinding& binding) {
    if (!LoadSettings(binding.show.settings)) {
        SetDefaultSettings(binding.show.settings);
    }
}

void SetUpShowDisplay(ShowBinding&, HWND, const DesktopMode&) {}

bool LeaveExclusiveMode(ShowBinding&, HWND) {
    return false;
}

void DeleteShowDisplay(ShowBinding& binding) {
    binding.show.display = nullptr;
}

bool ReadyForFrames(const ShowBinding& binding) {
    return binding.show.grid != nullptr && binding.show.display != nullptr;
}

}  // namespace korvane
