#pragma once

#include <windows.h>

#include <cstdint>

#include "host/input_rules.h"
#include "host/preview_animation.h"
#include "host/show_binding_windows.h"

namespace korvane {

using VerifyPasswordProc = BOOL(WINAPI*)(HWND);
using ImmAssociateContextProc = HANDLE(WINAPI*)(HWND, HANDLE);

// The screen-saver framework's state: window class, input rules and the platform's verifier.
struct SaverFramework {
    HINSTANCE saverInstance = nullptr;
    bool onWindows9x = false;
    bool previewMode = false;
    LONG closeAllowed = 0;
    bool verifyingPassword = false;
    HMODULE passwordLibrary = nullptr;
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
};

// Everything one saver process keeps between messages. The entry point owns the one instance;
// window procedures reach it through ActiveSaverHost().
struct SaverHost {
    SaverFramework framework;
    SaverWindowState window;
    ShowBinding show;
};

void SetActiveSaverHost(SaverHost* host);
SaverHost& ActiveSaverHost();

// Framework (window class, message loop, input, password verifier).
int RunSaverWindow(HWND parent);
LRESULT CALLBACK SaverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LONG CheckSaverPassword(HWND window);
void LoadPasswordVerifier();
void ReleasePasswordVerifier();
void SetSaverRunning(bool on);

// The show's reaction to the window's messages.
LRESULT ShowSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LONG VerifyShowPassword(HWND window);

// Start-up.
[[noreturn]] void StartFromCommandLine();
int DispatchMode(HINSTANCE instance, const char* text);
void ChangeSaverPassword(const char* text);

}  // namespace korvane
