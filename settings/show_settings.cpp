#include "settings/show_settings.h"

#include <cstring>

namespace korvane {

void SetDefaultSettings(ShowSettings& settings) {
    settings.titleEnabled = true;
    settings.phoneEnabled = true;
    settings.messageEnabled = true;
    settings.codeEnabled = true;
    settings.faceEnabled = true;
    settings.soundEnabled = true;
    settings.messageText.fill('\0');
    std::memcpy(settings.messageText.data(), kDefaultMessage, sizeof kDefaultMessage);
    settings.phoneNumber.fill('\0');
    std::memcpy(settings.phoneNumber.data(), kDefaultPhoneNumber, sizeof kDefaultPhoneNumber);
    settings.glyphScale = kAutomaticGlyphScale;
}

}  // namespace korvane
