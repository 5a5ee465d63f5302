#pragma once

#include <windows.h>

#include "host/monitor_layout.h"

namespace korvane {

RECT ToRect(const ScreenRect& area);

// A full-screen window stays shown, topmost and over its area until our own close path ends
// it: the hide, move and resize in a WM_WINDOWPOSCHANGING are turned back here, and a refused
// hide activates nothing. What cannot be refused beforehand the lock check repairs afterwards.
void KeepCovering(WINDOWPOS& position, const RECT& cover);

}  // namespace korvane
