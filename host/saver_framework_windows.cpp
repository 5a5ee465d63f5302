// The screen-saver framework: the single full-screen run, the message loop and the input that
// ends the saver.
#include "host/saver_framework_windows.h"

#include "host/running_saver_windows.h"

namespace korvane {
namespace {

// Settles two starts at once, which can both miss each other's window.
constexpr char kFullScreenClaimName[] = "KorvaneFullScreenSaverRun";

void PostClose(HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
}

// A running full-screen saver of this same program, looked for until `milliseconds` have
// passed: a first start may still be on its way to its window.
HWND WaitForRunningSaver(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND running = FindRunningSaverOfThisProgram(kSaverClassName, kFullScreenTitle)) {
            return running;
        }
        if (GetTickCount() - start >= milliseconds) {
            return nullptr;
        }
        Sleep(50);
    }
}

bool IsKeyOrButton(UINT message) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            return true;
        default:
            return false;
    }
}

}  // namespace

CursorPoint CursorNow() {
    POINT point{};
    GetCursorPos(&point);
    return {point.x, point.y};
}

bool ClaimFullScreenRun(HANDLE& claim) {
    if (claim != nullptr) {
        return true;
    }
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kFullScreenClaimName);
    if (mutex == nullptr) {
        return true;  // the name is another kind of object: no claim to wait on
    }
    // An abandoned claim is ours: its owner ended without giving it back.
    const DWORD waited = WaitForSingleObject(mutex, 0);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
        claim = mutex;
        return true;
    }
    CloseHandle(mutex);
    return false;
}

bool TakeFullScreenRun(SaverFramework& framework) {
    // One full-screen saver at a time, but a start defers only to a running saver of this same
    // program, which it brings forward. Whoever else holds the claim's name, or shows a window
    // of our class, this start locks: the claim only makes a start that missed it wait for the
    // first one's window.
    const bool claimed = framework.claimFullScreen(framework.fullScreenClaim);
    if (HWND running = WaitForRunningSaver(claimed ? 0 : framework.findRunningMilliseconds)) {
        SetForegroundWindow(running);
        ReleaseFullScreenRun(framework);
        return false;
    }
    framework.ownsFullScreenRun = true;
    return true;
}

void ReleaseFullScreenRun(SaverFramework& framework) {
    if (framework.fullScreenClaim != nullptr) {
        ReleaseMutex(framework.fullScreenClaim);
        CloseHandle(framework.fullScreenClaim);
        framework.fullScreenClaim = nullptr;
    }
    framework.ownsFullScreenRun = false;
}

void EndSaverRun(SaverFramework& framework, HWND window) {
    framework.destroyStarted = true;
    DestroyWindow(window);
}

std::optional<LRESULT> ApplyInputRules(SaverFramework& framework, const PasswordGate& gate,
                                       HWND saverWindow, UINT message, WPARAM wParam) {
    if (framework.previewMode || gate.CloseAllowed() || gate.PromptUp()) {
        return std::nullopt;
    }
    switch (ReactToInput(message, wParam)) {
        case InputReaction::kHideCursor:
            SetCursor(nullptr);
            break;
        case InputReaction::kHideCursorAnswered:
            SetCursor(nullptr);
            return 1;
        case InputReaction::kClose:
            PostClose(saverWindow);
            break;
        case InputReaction::kMeasureMouse:
            if (framework.mouse.MovedTooFar(CursorNow())) {
                PostClose(saverWindow);
            }
            break;
        case InputReaction::kNone:
            break;
    }
    return std::nullopt;
}

LRESULT DefaultSaverProc(SaverFramework& framework, const PasswordGate& gate, HWND window,
                         UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsKeyOrButton(message) && gate.CloseAllowed()) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (framework.autoPlayMessage != 0 && message == framework.autoPlayMessage) {
        // Answering 1 asks the platform to cancel AutoPlay while a password guards the desktop.
        PostClose(window);
        return gate.HoldsVerifier() ? 1 : 0;
    }
    switch (message) {
        case WM_SYSCOMMAND:
            if (framework.previewMode) {
                break;
            }
            switch (ReactToSystemCommand(wParam, gate.PasswordInForce())) {
                case SystemCommandReaction::kSwallow:
                    return 0;
                case SystemCommandReaction::kClose:
                    PostClose(window);
                    return 0;
                case SystemCommandReaction::kPass:
                    break;
            }
            break;
        case WM_HELP:
        case WM_CONTEXTMENU:
            if (framework.previewMode) {
                HWND parent = GetParent(window);
                if (parent != nullptr && IsWindow(parent)) {
                    PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
                }
                return 1;
            }
            break;
        default:
            if (const std::optional<LRESULT> answer =
                    ApplyInputRules(framework, gate, window, message, wParam)) {
                return *answer;
            }
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int RunSaverMessages(const SaverFramework& framework, HWND window) {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            if (framework.previewMode || framework.destroyStarted || !IsWindow(window)) {
                break;
            }
            continue;
        }
        if (got == -1) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace korvane
