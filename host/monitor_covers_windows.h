#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <vector>

#include "display/indexed_bitmap.h"
#include "display/memory_surface.h"
#include "host/monitor_layout.h"
#include "host/saver_input_windows.h"
#include "show/monitor_rain.h"
#include "sprites/cell_scale.h"
#include "win32/window_table_windows.h"

namespace korvane {

// Class and title of their own: the single-instance check looks for the saver window only.
inline constexpr char kMonitorCoverClassName[] = "KorvaneMonitorCover";
inline constexpr char kMonitorCoverTitle[] = "Korvane Monitor Cover";

struct MonitorCovers;

// One monitor beside the one that runs the show: a window over it and its falling code.
struct MonitorCoverWindow final : WindowOwner {
    MonitorCovers* set = nullptr;  // the covers it belongs to
    MonitorCover cover;
    HWND window = nullptr;
    MemorySurface page;                 // the monitor's picture; empty: the window stays black
    std::unique_ptr<MonitorRain> rain;  // none where no whole cell fits or memory ran short
};

// Registers the covers' class and opens one monitor's window, not yet shown; null when either
// fails.
using CoverWindowOpener = HWND (*)(MonitorCoverWindow& monitor, HINSTANCE instance);
HWND OpenCoverWindow(MonitorCoverWindow& monitor, HINSTANCE instance);

// A monitor whose cover could not be made is tried again this long after the last try: often
// enough to close the gap soon, seldom enough to cost nothing while it keeps failing.
inline constexpr DWORD kCoverRetryMilliseconds = 1000;

struct MonitorCovers {
    // The glyph sheet at 32 bits, enlarged once for each factor a monitor is drawn at (index
    // factor - 1) and read by the glyph strips of every monitor of that factor.
    std::array<MemorySurface, kLargestCellScale> sheets;
    // One entry per monitor of the plan, in its order; null, or without a window, while that
    // monitor has no cover. Held by pointer: each window and glyph strip keeps the address of
    // its own entry.
    std::vector<std::unique_ptr<MonitorCoverWindow>> monitors;
    bool closing = false;         // set by our own close path; until then the windows stay put
    SaverInput* input = nullptr;  // the saver window whose rules the covers' input follows
    HINSTANCE instance = nullptr;
    CoverWindowOpener openWindow = &OpenCoverWindow;  // tests hand in one that fails
    bool uncovered = false;                           // a monitor of the plan still has no cover
    DWORD lastTry = 0;
};

// The monitors as the platform lists them, in physical pixels, each with its own DPI where the
// system tells it (GetDpiForMonitor, looked up at run time), else the screen's LOGPIXELSX.
std::vector<MonitorArea> ListMonitors();
// The screen's LOGPIXELSX: the DPI of a system that knows no DPI per monitor.
int32_t ScreenDpi();
// The primary screen's own rectangle, for a platform that lists no monitor.
ScreenRect PrimaryScreenRect();

// Opens a topmost window over each monitor of `others` that takes no activation, each with
// its own falling code drawn with `sheet` at the monitor's factor (no sheet: the windows stay
// black). Their input goes to `input`. A monitor whose cover fails (its memory, its class or
// its window) does not keep the others from theirs; `now` is the time of this first try, in
// milliseconds.
void OpenMonitorCovers(MonitorCovers& covers, SaverInput& input, HINSTANCE instance,
                       const std::vector<MonitorCover>& others, const IndexedBitmap* sheet,
                       DWORD now);
// One frame of every monitor's falling code, put on its window. A monitor of `others` (the plan
// the covers were opened for) that still has no cover is tried again once kCoverRetryMilliseconds
// have passed since the last try.
void StepMonitorCovers(MonitorCovers& covers, const std::vector<MonitorCover>& others, DWORD now);
void CloseMonitorCovers(MonitorCovers& covers);

}  // namespace korvane
