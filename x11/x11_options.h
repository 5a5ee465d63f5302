#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frontend/program_info.h"
#include "frontend/show_switches.h"

namespace korvane {

// --scale auto, the default: the factor follows the X resource Xft.dpi (see screen_dpi.h).
inline constexpr int32_t kAutomaticCellScale = 0;

// Where the picture goes.
enum class WindowTarget {
    kOwnWindow,  // a window of our own, -geometry WxH
    kRoot,       // -root, outside a saver manager
    kExisting,   // -window-id ID, or the manager's XSCREENSAVER_WINDOW (with or without -root)
};

// What korvane-x11 was asked to do: the show's switches and its own.
struct X11Options : ShowSwitches {
    WindowTarget target = WindowTarget::kOwnWindow;
    unsigned long windowId = 0;  // for kExisting
    int32_t width = 1024;        // for kOwnWindow
    int32_t height = 768;
    std::string displayName;                  // empty: $DISPLAY
    int32_t frames = 0;                       // 0: run until ended
    int32_t cellScale = kAutomaticCellScale;  // --scale: 1 to 4, or from the X server's DPI
    bool stats = false;
    InfoRequest info = InfoRequest::kNone;  // --help or --version: nothing else was read
};

inline constexpr int32_t kMaxWindowSide = 1 << 15;

// Reads a window id as X11 programs write them: decimal or 0x hexadecimal, never zero.
bool ParseWindowId(const std::string& text, unsigned long& id);

// Reads the arguments (without the program name) and the saver manager's window from
// `managerWindow` (the XSCREENSAVER_WINDOW variable, or null) into `options`, including the
// message file. On failure answers false with a one-line description in `error`. --help or
// --version ends the reading there, with success and `info` set.
bool ParseX11Options(const std::vector<std::string>& arguments, const char* managerWindow,
                     X11Options& options, std::string& error);

}  // namespace korvane
