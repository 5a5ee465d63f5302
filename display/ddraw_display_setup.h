#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "display/ddraw_display_device.h"

namespace korvane {

class SpriteStrip;

// The set-up's way to tell the user of a failure and wait until it is acknowledged.
using DisplayNoticeFunction = void (*)(const char* text);

// Shows `text` in a message box captioned "ERROR!!" and waits for it.
void ShowDisplayErrorBox(const char* text);

// What the set-up reaches the platform through; tests replace the parts they must provoke.
struct DisplaySetUpPlatform {
    DirectDrawCreateFunction directDrawCreate = &DirectDrawCreate;
    DisplayNoticeFunction notify = &ShowDisplayErrorBox;
    // The glyph sheet: bitmap resource 111, or a file path.
    const char* glyphSheet = MAKEINTRESOURCEA(111);
};

// Replaces `device` with a new one opened for `saverWindow` at the desktop's width, height
// and depth, loads the glyph sheet with black as its key (and its palette below 15 bits) and
// points both strips at the new surfaces. It reports failures and always runs to its end.
void SetUpDisplay(std::unique_ptr<DisplayDevice>& device, HWND saverWindow, SpriteStrip& glyphStrip,
                  SpriteStrip& cursorStrip, int32_t width, int32_t height, int32_t depth,
                  const DisplaySetUpPlatform& platform = {});

}  // namespace korvane
