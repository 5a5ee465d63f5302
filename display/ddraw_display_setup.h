#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "display/ddraw_display_device.h"
#include "resources/resource_ids.h"
#include "sprites/busy_budget.h"

namespace korvane {

class SpriteStrip;

// The set-up's way to tell the user of a failure and wait until it is acknowledged. It runs a
// message loop, so the window's messages arrive while the set-up is under way.
using DisplayNoticeFunction = void (*)(HWND owner, const char* text);

// Shows `text` in a message box captioned "ERROR!!", owned by `owner` so that it stands in
// front of the topmost saver, and waits for it.
void ShowDisplayErrorBox(HWND owner, const char* text);

// What the set-up reaches the platform through; tests replace the parts they must provoke.
struct DisplaySetUpPlatform {
    DirectDrawCreateFunction directDrawCreate = &DirectDrawCreate;
    DisplayNoticeFunction notify = &ShowDisplayErrorBox;
    // The glyph sheet: the program's bitmap resource, or a file path.
    const char* glyphSheet = MAKEINTRESOURCEA(KORVANE_GLYPH_BITMAP);
    // Times the colour match's lock while the sheet answers "still drawing".
    MillisecondClock clock = &SteadyMilliseconds;
};

// Replaces `device` with a new one opened for `saverWindow` at the desktop's width, height
// and depth, loads the glyph sheet enlarged `cellScale` times (1 to 4) with black as its key
// (and its palette below 15 bits) and points both strips at the new surfaces. Where the
// enlarged sheet's surface cannot be created, the next smaller factor is used; the factor
// obtained is device->cellScale, and the grid must be made for it. It reports failures and
// always runs to its end. The old device is released first; the new one is handed over only
// once it is complete, so while the notices wait `device` is empty and the strips point
// nowhere. True when the flip chain is ready.
bool SetUpDisplay(std::unique_ptr<DisplayDevice>& device, HWND saverWindow, SpriteStrip& glyphStrip,
                  SpriteStrip& cursorStrip, int32_t width, int32_t height, int32_t depth,
                  const DisplaySetUpPlatform& platform = {}, int32_t cellScale = 1);

}  // namespace korvane
