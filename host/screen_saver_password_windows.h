#pragma once

#include <windows.h>

#include <optional>

#include "win32/scoped_handles_windows.h"

namespace korvane {

// "ScreenSaveUsePassword" under HKCU\Control Panel\Desktop, read by its stored type; nothing
// when the value (or the key) is not there.
std::optional<bool> ReadPasswordRequired();

// The platform's verifier, PASSWORD.CPL, from the system directory and nowhere else: a copy in
// the program's or the current folder must never answer for the system. Empty when it is absent.
LoadedLibrary LoadSystemVerifierLibrary();

}  // namespace korvane
