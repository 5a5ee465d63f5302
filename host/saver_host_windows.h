#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "host/input_rules.h"
#include "host/monitor_covers_windows.h"
#include "host/monitor_layout.h"
#include "host/preview_animation.h"
#include "host/show_binding_windows.h"
#include "win32/scoped_handles_windows.h"

namespace korvane {

using VerifyPasswordProc = BOOL(WINAPI*)(HWND);
using ImmAssociateContextProc = HANDLE(WINAPI*)(HWND, HANDLE);
// Tells the platform whether a saver runs (on Windows 9x this disables task switching).
using AnnounceRunningProc = void (*)(bool on);
// True when this process may run full screen: no other full-screen run holds the claim.
using ClaimFullScreenProc = bool (*)(HANDLE& claim);

void AnnounceRunningToSystem(bool on);
bool ClaimFullScreenRun(HANDLE& claim);

// The screen-saver framework's state: window class, input rules and the platform's verifier.
struct SaverFramework {
    HINSTANCE saverInstance = nullptr;
    bool onWindows9x = false;
    // Decided by the switch alone (/p or /l), never by the window's size.
    bool previewMode = false;
    AnnounceRunningProc announceRunning = &AnnounceRunningToSystem;
    ClaimFullScreenProc claimFullScreen = &ClaimFullScreenRun;
    HANDLE fullScreenClaim = nullptr;
    bool ownsFullScreenRun = false;
    // Only the process that told the platform a saver runs may take it back.
    bool announcedRunning = false;
    // Set by our own close path just before it destroys the window; until then a full-screen
    // run ignores destroy and quit messages, whoever sends them.
    bool destroyStarted = false;
    RECT coverRect{};  // the primary monitor, in physical pixels
    // The monitors beside the primary, each covered by a window of its own during a run.
    std::vector<MonitorCover> otherMonitors;
    // Something tried to hide, minimise or move the window since it was last covered again.
    bool coverDisturbed = false;
    LONG closeAllowed = 0;
    bool verifyingPassword = false;
    LoadedLibrary passwordLibrary;  // held for the whole run
    VerifyPasswordProc verifyProc = nullptr;
    UINT autoPlayMessage = 0;
    MouseTracker mouse;
    DWORD lastVerifyTick = kNoVerificationYet;
    ImmAssociateContextProc immAssociateContext = nullptr;
    HANDLE previousInputContext = nullptr;
};

// The show's side of the saver window.
struct SaverWindowState {
    HWND saverWindow = nullptr;
    RECT clientRect{};
    DWORD passwordRequired = 0;
    int32_t tickCounter = 0;
    int32_t previewColourStep = kInitialPreviewColourStep;
    PreviewFrame previewPixels{};
    bool fullScreenRunStarted = false;
    // A display set-up request that we posted and that has not been carried out yet.
    bool setUpRequested = false;
    // A close request that came while the display was being set up; handled afterwards.
    bool closeDeferred = false;
    // A failure inside the show dropped it to a black screen; the password gate stays.
    bool showFailed = false;
};

// Everything one saver process keeps between messages. The entry point owns the one instance;
// window procedures reach it through ActiveSaverHost().
struct SaverHost {
    SaverFramework framework;
    SaverWindowState window;
    ShowBinding binding;
    MonitorCovers covers;
};

void SetActiveSaverHost(SaverHost* host);
SaverHost& ActiveSaverHost();

// Framework (window class, message loop, input, password verifier).
inline constexpr char kSaverClassName[] = "WindowsScreenSaverClass";
int RunSaverWindow(HWND parent);
bool RegisterSaverClass(HINSTANCE instance);
LRESULT CALLBACK SaverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The input rules of a full-screen run for a message that reached the saver window or a
// monitor cover: a close request goes to `saverWindow`. Answers the messages it decides itself.
std::optional<LRESULT> ApplyInputRules(HWND saverWindow, UINT message, WPARAM wParam);
LONG CheckSaverPassword(HWND window);
void LoadPasswordVerifier();
void ReleasePasswordVerifier();
void SetSaverRunning(bool on);
// Ends a full-screen run through our own close path: the only destroy it accepts.
void EndSaverRun(HWND window);
// Ends the process with -1 after taking back the running flag, once, whatever crashed.
LONG WINAPI SaverCrashGuard(EXCEPTION_POINTERS* exception);

// The show's reaction to the window's messages.
LRESULT ShowSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LONG VerifyShowPassword(HWND window);
// Drops the show to a black screen after a failure inside it; the window and the password
// gate stay.
void DropShowAfterFailure(HWND window);
// Sets a working display up again after the window was disturbed; not during a prompt.
void RestoreShowDisplay(HWND window);

// Start-up.
[[noreturn]] void StartFromCommandLine();
int DispatchMode(HINSTANCE instance, const char* text);
void ChangeSaverPassword(const char* text);

}  // namespace korvane
