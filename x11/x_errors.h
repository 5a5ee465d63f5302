#pragma once

#include <X11/Xlib.h>

namespace korvane {

// Protocol errors are answers, not reasons to die: the window we draw into belongs to someone
// else and may go at any moment. The handler notes the last error; the program looks.
struct XErrorRecord {
    int count = 0;
    int lastCode = 0;  // Success when none
    XID lastResource = 0;
};

// Installs the handler for the connection's protocol errors.
void RecordXErrors();
const XErrorRecord& RecordedXErrors();

}  // namespace korvane
