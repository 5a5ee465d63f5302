#pragma once

#include <windows.h>

#include "win32/scoped_handles_windows.h"

namespace korvane {

// A library of the system folder, loaded by its full path: a copy of the same name in the
// program's or the current folder never answers for the system's.
struct SystemLibrary {
    LoadedLibrary library;
    // The file may be there even where it did not load; only a file that is not there at its
    // path counts as absent, and a folder that cannot be named counts as present.
    bool present = false;
};

SystemLibrary LoadSystemLibrary(const char* name);

}  // namespace korvane
