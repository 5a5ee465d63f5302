#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <string>

#include "x11/pixel_format.h"
#include "x11/x11_options.h"

namespace korvane {

// The window the show is drawn into and what drawing into it needs to know.
struct TargetWindow {
    Window window = 0;
    bool own = false;       // ours to close; the others belong to someone else
    Atom deleteWindow = 0;  // the window manager's close request, for our own window
    Visual* visual = nullptr;
    int32_t depth = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// Finds the window the options name, or makes and maps our own, and asks for its structure
// and exposure events only: no input is taken from anyone. False with a one-line reason when
// the named window does not exist.
bool OpenTargetWindow(Display* display, const X11Options& options, TargetWindow& target,
                      std::string& error);

// How the window's visual stores pixels.
VisualLayout LayoutOfVisual(Display* display, Visual* visual, int32_t depth);

}  // namespace korvane
