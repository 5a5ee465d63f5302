#pragma once

#include <windows.h>

#include "host/monitor_layout.h"

namespace korvane {

// Posted to a covering window to check its place again once the message that moved it has
// been handled. (WM_APP is the framework's verification request, WM_APP + 1 the show's display
// set-up request.)
inline constexpr UINT kCoverAgainRequest = WM_APP + 2;

RECT ToRect(const ScreenRect& area);

// A full-screen window stays shown, topmost and over its area until our own close path ends
// it: the hide, move and resize in a WM_WINDOWPOSCHANGING are turned back here, and a refused
// hide activates nothing.
void KeepCovering(WINDOWPOS& position, const RECT& cover);

// The window is minimised, hidden, elsewhere or no longer topmost.
bool Uncovered(HWND window, const RECT& cover);

// Restores, shows and places the window over `cover` again, topmost; `activate` also lets it
// take the activation (only the window that runs the show wants it).
void CoverAgain(HWND window, const RECT& cover, bool activate);

}  // namespace korvane
