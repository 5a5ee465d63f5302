#pragma once

#include <windows.h>

#include <optional>

#include "win32/scoped_handles_windows.h"

namespace korvane {

using VerifyPasswordProc = BOOL(WINAPI*)(HWND);

// "ScreenSaveUsePassword" under `root`\Control Panel\Desktop, read by its stored type. Nothing
// only when the key or the value is not there; any other failure to read asks for a password.
std::optional<bool> ReadPasswordRequired(HKEY root = HKEY_CURRENT_USER);

// The platform's verifier, PASSWORD.CPL, from the system folder and nowhere else: a copy in the
// program's or the current folder must never answer for the system.
struct VerifierLibrary {
    LoadedLibrary library;
    VerifyPasswordProc verify = nullptr;  // null when the verifier is absent or cannot answer
    // The file is there. One that is there but does not load, or lacks its entry, refuses
    // every password; only an absent verifier lets the run close.
    bool present = false;
};
VerifierLibrary LoadSystemVerifier();

}  // namespace korvane
