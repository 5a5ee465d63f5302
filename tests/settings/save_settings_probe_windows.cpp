// Saves one known record, so the test script can look at the key with Wine's own reg tool.
#include <cstring>

#include "settings/registry_settings_store_windows.h"

int main() {
    korvane::ShowSettings settings;
    korvane::SetDefaultSettings(settings);
    settings.titleEnabled = false;
    settings.codeEnabled = false;
    std::strcpy(settings.messageText.data(), "Wake up");
    std::strcpy(settings.phoneNumber.data(), "5550100");
    settings.glyphScale = 3;
    return korvane::SaveSettings(settings) ? 0 : 1;
}
