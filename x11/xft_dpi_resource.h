#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>

namespace korvane {

// The value of the X resource Xft.dpi as the server's resource database (xrdb) holds it;
// none when the server holds no resources or not that one.
std::optional<std::string> ReadXftDpi(Display* display);

}  // namespace korvane
