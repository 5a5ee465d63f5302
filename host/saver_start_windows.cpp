// Start-up: reads the screen-saver switch, runs exactly one mode and ends the process.
#include <windows.h>

#include "host/saver_start_windows.h"

#include "host/command_line.h"
#include "host/saver_window_windows.h"
#include "settings/config_dialog_windows.h"
#include "win32/system_library_windows.h"

namespace korvane {
namespace {

constexpr int kRefusedExitCode = -1;

using ChangePasswordProc = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);

const char* NextCharacter(const char* text) {
    return CharNextA(text);
}

bool OnWindows9x() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

HWND WindowFromNumber(uint32_t number) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(number));
}

HWND ValidWindowOrNone(uint32_t number) {
    HWND window = WindowFromNumber(number);
    return window != nullptr && IsWindow(window) ? window : nullptr;
}

int ShowDialog(HINSTANCE instance, HWND parent) {
    ShowSettings settings;
    return static_cast<int>(ShowConfigDialog(instance, parent, settings));
}

// A preview or the full-screen saver, on a saver window of its own.
int RunSaver(HINSTANCE instance, bool onWindows9x, HWND parent) {
    SaverWindow saver;
    saver.framework.saverInstance = instance;
    saver.framework.onWindows9x = onWindows9x;
    const CrashGuardWatch watch(saver.gate.running);
    return RunSaverWindow(saver, parent);
}

int RunMode(HINSTANCE instance, bool onWindows9x, const char* text) {
    const ModeRequest request = ParseModeSwitch(text);
    switch (request.mode) {
        case SaverMode::kConfigureWithoutOwner:
            return ShowDialog(instance, nullptr);
        case SaverMode::kConfigure: {
            HWND owner = ValidWindowOrNone(request.windowNumber);
            return ShowDialog(instance, owner != nullptr ? owner : GetForegroundWindow());
        }
        case SaverMode::kChangePassword:
            if (!onWindows9x) {
                return kRefusedExitCode;
            }
            ChangeSaverPassword(request.argument);
            return 0;
        case SaverMode::kPreview: {
            HWND parent = ValidWindowOrNone(request.windowNumber);
            return parent != nullptr ? RunSaver(instance, onWindows9x, parent) : kRefusedExitCode;
        }
        case SaverMode::kFullScreen:
            return RunSaver(instance, onWindows9x, nullptr);
        case SaverMode::kUnrecognised:
            break;
    }
    return kRefusedExitCode;
}

}  // namespace

void ChangeSaverPassword(const char* text) {
    HWND owner = ValidWindowOrNone(ParseWindowNumber(text));
    if (owner == nullptr) {
        owner = GetForegroundWindow();
    }
    // From the system folder only, as the verifier is: a planted copy must not be handed the
    // new password.
    const SystemLibrary mpr = LoadSystemLibrary("MPR.DLL");
    const auto change = mpr.library.Find<ChangePasswordProc>("PwdChangePasswordA");
    if (change != nullptr) {
        change("SCRSAVE", owner, 0, nullptr);
    }
}

int DispatchMode(HINSTANCE instance, const char* text) {
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(SaverCrashGuard);
    int code = kRefusedExitCode;
    try {
        // A run that throws has given back its running flag on the way out: its saver window,
        // and with it the gate, went out of scope.
        code = RunMode(instance, OnWindows9x(), text);
    } catch (...) {
        code = kRefusedExitCode;
    }
    SetUnhandledExceptionFilter(previous);
    return code;
}

void StartFromCommandLine(HINSTANCE instance) {
    const char* text = SkipProgramName(GetCommandLineA(), NextCharacter);
    const int code = DispatchMode(instance, text);
    // Straight out: exit-time handlers and static destructors have nothing left to do.
    ExitProcess(static_cast<UINT>(code));
}

}  // namespace korvane
