#pragma once

#include <windows.h>

namespace korvane {

// Reads the screen-saver switch from the command line, runs exactly one mode and ends the
// process with its code.
[[noreturn]] void StartFromCommandLine(HINSTANCE instance);
// Runs the mode `text` asks for: the dialog (/c), the password change (/a), a preview (/p) or
// the full-screen saver (/s); -1 for anything else.
int DispatchMode(HINSTANCE instance, const char* text);
void ChangeSaverPassword(const char* text);

}  // namespace korvane
