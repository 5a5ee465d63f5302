#pragma once

#include <X11/Xlib.h>

#include <memory>

namespace korvane {

// The program's connection to the X server, closed on every way out of the run. What uses the
// connection (presenter, window) must be made after it, so it goes first.
struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayConnection = std::unique_ptr<Display, DisplayCloser>;

}  // namespace korvane
