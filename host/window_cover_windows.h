#pragma once

#include <windows.h>

#include "host/monitor_layout.h"

namespace korvane {

RECT ToRect(const ScreenRect& area);

// A full-screen window stays shown, topmost and over its area until our own close path ends
// it: the hide, move and resize in a WM_WINDOWPOSCHANGING are turned back here.
void KeepCovering(WINDOWPOS& position, const RECT& cover);

// The window is minimised, hidden, elsewhere or no longer topmost.
bool Uncovered(HWND window, const RECT& cover);

// Restores, shows and places the window over `cover` again, topmost; `activate` also lets it
// take the activation (only the window that runs the show wants it).
void CoverAgain(HWND window, const RECT& cover, bool activate);

}  // namespace korvane
