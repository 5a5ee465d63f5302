#pragma once

#include <windows.h>

#include <optional>

// Which running full-screen saver a new start may defer to: only one of this very program. A
// window of our class can be made by any program, and the claim's name held by any, so
// neither alone stops a start from locking.

namespace korvane {

// A file as the file system knows it, whatever path or link names it.
struct FileIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

std::optional<FileIdentity> IdentifyFile(const char* path);
// The file a process runs; none when its image cannot be read.
std::optional<FileIdentity> IdentifyProcessImage(DWORD process);

// A visible, topmost top-level window of `windowClass` and `title` whose process runs this
// program's own file; null when there is none. A hidden window, another program's, and one
// whose process's image cannot be read do not count.
HWND FindRunningSaverOfThisProgram(const char* windowClass, const char* title);

}  // namespace korvane
