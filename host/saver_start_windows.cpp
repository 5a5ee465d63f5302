// Start-up: reads the screen-saver switch, runs exactly one mode and ends the process.
#include <windows.h>

#include "host/command_line.h"
#include "host/saver_host_windows.h"
#include "settings/config_dialog_windows.h"

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

int ShowDialog(HWND parent) {
    SaverHost& host = ActiveSaverHost();
    return static_cast<int>(
        ShowConfigDialog(host.framework.saverInstance, parent, host.binding.show.settings));
}

int RunMode(const char* text) {
    const ModeRequest request = ParseModeSwitch(text);
    switch (request.mode) {
        case SaverMode::kConfigureWithoutOwner:
            return ShowDialog(nullptr);
        case SaverMode::kConfigure: {
            HWND owner = ValidWindowOrNone(request.windowNumber);
            return ShowDialog(owner != nullptr ? owner : GetForegroundWindow());
        }
        case SaverMode::kChangePassword:
            if (!ActiveSaverHost().framework.onWindows9x) {
                return kRefusedExitCode;
            }
            ChangeSaverPassword(request.argument);
            return 0;
        case SaverMode::kPreview: {
            HWND parent = ValidWindowOrNone(request.windowNumber);
            return parent != nullptr ? RunSaverWindow(parent) : kRefusedExitCode;
        }
        case SaverMode::kFullScreen:
            return RunSaverWindow(nullptr);
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
    const LoadedLibrary library(LoadLibraryA("MPR.DLL"));
    const auto change = library.Find<ChangePasswordProc>("PwdChangePasswordA");
    if (change != nullptr) {
        change("SCRSAVE", owner, 0, nullptr);
    }
}

int DispatchMode(HINSTANCE instance, const char* text) {
    SaverFramework& framework = ActiveSaverHost().framework;
    framework.saverInstance = instance;
    framework.onWindows9x = OnWindows9x();
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(SaverCrashGuard);
    int code = kRefusedExitCode;
    try {
        code = RunMode(text);
    } catch (...) {
        SetSaverRunning(false);
    }
    SetUnhandledExceptionFilter(previous);
    return code;
}

void StartFromCommandLine() {
    const char* text = SkipProgramName(GetCommandLineA(), NextCharacter);
    const int code = DispatchMode(ActiveSaverHost().framework.saverInstance, text);
    // Straight out: exit-time handlers and static destructors have nothing left to do.
    ExitProcess(static_cast<UINT>(code));
}

}  // namespace korvane
