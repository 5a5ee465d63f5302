// The screen-saver framework: window class, message loop, the input that ends the saver, the
// single full-screen instance and the platform's password verifier.
#include <windows.h>

#include <exception>
#include <optional>
#include <utility>

#include "host/saver_host_windows.h"
#include "host/screen_saver_password_windows.h"
#include "host/window_cover_windows.h"
#include "resources/resource_ids.h"

namespace korvane {
namespace {

constexpr char kFullScreenTitle[] = "Screen Saver";
constexpr char kPreviewTitle[] = "Preview";
constexpr UINT kVerifyRequest = WM_APP;
// WM_APP + 1 is the show's display set-up request, WM_APP + 2 the cover-again request.
constexpr int kGuardExitCode = -1;
// Held by the one process whose full-screen run owns the platform's running flag.
constexpr char kFullScreenClaimName[] = "KorvaneFullScreenSaverRun";
// How long a second start looks for the first one's window, which may still be on its way.
constexpr DWORD kFindRunningMilliseconds = 2000;

SaverHost* activeHost = nullptr;

SaverFramework& Framework() {
    return ActiveSaverHost().framework;
}

void PostClose(HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
}

CursorPoint CursorNow() {
    POINT point{};
    GetCursorPos(&point);
    return {point.x, point.y};
}

// Another process holds the foreground; our own password prompt may hold it.
bool ForegroundTakenAway() {
    HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    if (foreground != nullptr) {
        GetWindowThreadProcessId(foreground, &process);
    }
    return process != GetCurrentProcessId();
}

// A second full-screen start brings the first forward and leaves.
void BringRunningSaverForward() {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND running = FindWindowA(kSaverClassName, kFullScreenTitle);
        if (running != nullptr && IsWindow(running)) {
            SetForegroundWindow(running);
            return;
        }
        if (GetTickCount() - start >= kFindRunningMilliseconds) {
            return;
        }
        Sleep(50);
    }
}

void ReleaseFullScreenClaim(SaverFramework& framework) {
    if (framework.fullScreenClaim != nullptr) {
        ReleaseMutex(framework.fullScreenClaim);
        CloseHandle(framework.fullScreenClaim);
        framework.fullScreenClaim = nullptr;
    }
}

}  // namespace

void AnnounceRunningToSystem(bool on) {
    UINT previous = 0;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, on ? 1 : 0, &previous, 0);
}

bool ClaimFullScreenRun(HANDLE& claim) {
    if (claim != nullptr) {
        return true;
    }
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kFullScreenClaimName);
    if (mutex == nullptr) {
        return true;  // no claim to be had: the window search alone decides, as before
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

namespace {

// A fault inside the guard itself. 64-bit Windows hands it to the unhandled-exception filter
// again, but 32-bit Windows (and Wine) end the process with the fault's own code when the
// filter's frame is the one that faults, so the guard's exit code would be lost. A vectored
// handler sees every exception first, on both word sizes.
LONG WINAPI EndOnFaultInsideGuard(EXCEPTION_POINTERS*) {
    ExitProcess(static_cast<UINT>(kGuardExitCode));
}

}  // namespace

LONG WINAPI SaverCrashGuard(EXCEPTION_POINTERS*) {
    // Never hands the exception on: the system's own handler would call this filter again.
    static LONG entered = 0;
    if (InterlockedExchange(&entered, 1) == 0) {
        AddVectoredExceptionHandler(1, EndOnFaultInsideGuard);
        SetSaverRunning(false);
    }
    ExitProcess(static_cast<UINT>(kGuardExitCode));
}

void EndSaverRun(HWND window) {
    Framework().destroyStarted = true;
    DestroyWindow(window);
}

void SetActiveSaverHost(SaverHost* host) {
    activeHost = host;
}
SaverHost& ActiveSaverHost() {
    return *activeHost;
}

void SetSaverRunning(bool on) {
    if (activeHost == nullptr) {
        return;
    }
    SaverFramework& framework = Framework();
    if (!framework.onWindows9x || framework.announcedRunning == on) {
        return;
    }
    if (on && !framework.ownsFullScreenRun) {
        return;  // only the one full-screen run that holds the claim owns the flag
    }
    framework.announcedRunning = on;
    framework.announceRunning(on);
}

void ReleasePasswordVerifier() {
    SaverFramework& framework = Framework();
    if (!framework.onWindows9x || !framework.passwordLibrary) {
        return;
    }
    framework.passwordLibrary.Reset();
    if (framework.verifyProc != nullptr) {
        framework.verifyProc = nullptr;
        SetSaverRunning(false);
    }
}

void LoadPasswordVerifier() {
    SaverFramework& framework = Framework();
    if (!framework.onWindows9x) {
        return;
    }
    if (framework.passwordLibrary) {
        ReleasePasswordVerifier();
    }
    if (!ReadPasswordRequired().value_or(false)) {
        return;
    }
    framework.passwordLibrary = LoadSystemVerifierLibrary();
    if (!framework.passwordLibrary) {
        return;
    }
    framework.verifyProc =
        framework.passwordLibrary.Find<VerifyPasswordProc>("VerifyScreenSavePwd");
    if (framework.verifyProc != nullptr) {
        SetSaverRunning(true);
    } else {
        ReleasePasswordVerifier();
    }
}

LONG CheckSaverPassword(HWND window) {
    SaverFramework& framework = Framework();
    if (framework.verifyingPassword) {
        return 0;
    }
    if (framework.verifyProc == nullptr) {
        framework.closeAllowed = 1;
        return 1;
    }
    if (WithinVerifyGrace(GetTickCount(), framework.lastVerifyTick)) {
        return framework.closeAllowed;
    }
    framework.verifyingPassword = true;
    MSG pending;
    for (int i = 0; i < 2; ++i) {
        PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    }
    framework.closeAllowed = static_cast<LONG>(SendMessageA(window, kVerifyRequest, 0, 0));
    framework.verifyingPassword = false;
    if (framework.closeAllowed == 0) {
        SetCursor(nullptr);
    }
    framework.lastVerifyTick = GetTickCount();
    return framework.closeAllowed;
}

std::optional<LRESULT> ApplyInputRules(HWND saverWindow, UINT message, WPARAM wParam) {
    SaverFramework& framework = Framework();
    if (framework.previewMode || framework.closeAllowed != 0 || framework.verifyingPassword) {
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

LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SaverFramework& framework = Framework();
    if (!framework.previewMode && framework.closeAllowed == 0) {
        if (framework.onWindows9x && message == WM_CLOSE) {
            if (CheckSaverPassword(window) == 0) {
                framework.mouse.Reset(CursorNow());
                return 0;
            }
        } else if (framework.onWindows9x && message == kVerifyRequest) {
            return framework.verifyProc != nullptr ? framework.verifyProc(window) : 1;
        } else if (const std::optional<LRESULT> answer = ApplyInputRules(window, message, wParam)) {
            return *answer;
        }
    }
    if (framework.autoPlayMessage != 0 && message == framework.autoPlayMessage) {
        // Answering 1 asks the platform to cancel AutoPlay while a password guards the desktop.
        PostClose(window);
        return framework.verifyProc != nullptr ? 1 : 0;
    }
    if (message == WM_CLOSE) {
        // What DefWindowProc would do, but through the one path that may end the run.
        EndSaverRun(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

namespace {

LRESULT HandleSaverMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SaverFramework& framework = Framework();
    const bool guardsScreen = !framework.previewMode && !framework.destroyStarted;
    switch (message) {
        case WM_CREATE: {
            // Only an input method that is already loaded is detached; we never load one.
            if (HMODULE imm = GetModuleHandleA("IMM32.DLL"); imm != nullptr) {
                framework.immAssociateContext = reinterpret_cast<ImmAssociateContextProc>(
                    reinterpret_cast<void*>(GetProcAddress(imm, "ImmAssociateContext")));
                if (framework.immAssociateContext != nullptr) {
                    framework.previousInputContext = framework.immAssociateContext(window, nullptr);
                }
            }
            framework.mouse.Reset(CursorNow());
            if (!framework.previewMode) {
                SetCursor(nullptr);
            }
            break;
        }
        case WM_DESTROY:
        case WM_NCDESTROY:
            // Only the system (for a preview, with its parent) or our own close path destroys
            // the window; a forged one must not tear down the show or end the loop.
            if (guardsScreen) {
                return 0;
            }
            if (message == WM_DESTROY) {
                if (GetModuleHandleA("IMM32.DLL") != nullptr &&
                    framework.immAssociateContext != nullptr &&
                    framework.previousInputContext != nullptr) {
                    framework.immAssociateContext(window, framework.previousInputContext);
                }
                PostQuitMessage(0);
            }
            break;
        case WM_SHOWWINDOW:
            // A hide is on its way. It is refused below, but the system would still hand the
            // activation to the window beneath, whose thread takes it when it gets round to it:
            // under Wine it then raises its window over ours, topmost or not, even if we took
            // the foreground back meanwhile. Let go of the activation first, so there is none
            // to hand on; the cover-again request takes it back.
            if (guardsScreen && wParam == FALSE && GetActiveWindow() == window) {
                SetActiveWindow(nullptr);
            }
            break;
        case WM_WINDOWPOSCHANGING:
            if (guardsScreen) {
                auto& position = *reinterpret_cast<WINDOWPOS*>(lParam);
                if ((position.flags & SWP_HIDEWINDOW) != 0) {
                    // Refused, but the attempt can leave exclusive mode drawing nowhere
                    // (seen under Wine: a black screen); the display is set up afresh.
                    framework.coverDisturbed = true;
                    PostMessageA(window, kCoverAgainRequest, 0, 0);
                }
                KeepCovering(position, framework.coverRect);
            }
            break;
        case WM_WINDOWPOSCHANGED:
            // What cannot be refused beforehand (a minimised state) is undone straight after.
            if (guardsScreen && Uncovered(window, framework.coverRect)) {
                PostMessageA(window, kCoverAgainRequest, 0, 0);
            }
            break;
        case WM_ACTIVATEAPP:
            if (guardsScreen && wParam == FALSE) {
                PostMessageA(window, kCoverAgainRequest, 0, 0);
            }
            break;
        case kCoverAgainRequest:
            if (guardsScreen) {
                framework.coverDisturbed |= Uncovered(window, framework.coverRect);
                CoverAgain(window, framework.coverRect, true);
                // Exclusive mode draws only for the foreground window: a refused hide can
                // still have handed the activation to whatever lay below.
                if (ForegroundTakenAway()) {
                    SetForegroundWindow(window);
                }
                if (std::exchange(framework.coverDisturbed, false)) {
                    RestoreShowDisplay(window);
                }
            }
            return 0;
        case WM_SETTEXT:
            return 0;
        case WM_PAINT:
            if (framework.closeAllowed != 0) {
                return DefWindowProcA(window, message, wParam, lParam);
            }
            if (!framework.previewMode) {
                SetCursor(nullptr);
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
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (framework.closeAllowed != 0) {
                return DefWindowProcA(window, message, wParam, lParam);
            }
            break;
        case WM_SYSCOMMAND:
            if (!framework.previewMode && SwallowsSystemCommand(wParam)) {
                return 0;
            }
            break;
        case WM_TIMER:
            if (framework.closeAllowed != 0) {
                return 0;
            }
            Sleep(0);
            break;
        default:
            break;
    }
    return ShowSaverProc(window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK SaverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // A C++ exception cannot unwind through the system's dispatch frames; it ends here. The
    // window and its password gate stay, and the show drops to a black screen.
    try {
        return HandleSaverMessage(window, message, wParam, lParam);
    } catch (const std::exception&) {
        DropShowAfterFailure(window);
        return 0;
    }
}

bool RegisterSaverClass(HINSTANCE instance) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    windowClass.lpfnWndProc = SaverClassProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(KORVANE_ICON));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kSaverClassName;
    return RegisterClassA(&windowClass) != 0;
}

int RunSaverWindow(HWND parent) {
    SaverFramework& framework = Framework();
    RECT area{};
    DWORD style = 0;
    DWORD extendedStyle = 0;
    const char* title = nullptr;
    if (parent != nullptr) {
        GetClientRect(parent, &area);
        style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
        title = kPreviewTitle;
        framework.previewMode = true;
    } else {
        // The saver window covers the primary monitor; every other monitor gets a cover of
        // its own once the run starts.
        const MonitorPlan plan = PlanMonitorCovers(ListMonitors(), PrimaryScreenRect());
        area = ToRect(plan.primary.area);
        framework.otherMonitors = plan.others;
        style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        extendedStyle = WS_EX_TOPMOST;
        title = kFullScreenTitle;
        framework.previewMode = false;
        framework.coverRect = area;
        // One full-screen saver at a time: a second start brings the first forward. The claim
        // settles two starts at once, which can both miss each other's window.
        framework.ownsFullScreenRun = framework.claimFullScreen(framework.fullScreenClaim);
        if (!framework.ownsFullScreenRun) {
            BringRunningSaverForward();
            return 0;
        }
        HWND running = FindWindowA(kSaverClassName, kFullScreenTitle);
        if (running != nullptr && IsWindow(running)) {
            SetForegroundWindow(running);
            ReleaseFullScreenClaim(framework);
            framework.ownsFullScreenRun = false;
            return 0;
        }
        LoadPasswordVerifier();
    }
    framework.autoPlayMessage =
        framework.onWindows9x ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0;

    HWND window = nullptr;
    if (RegisterSaverClass(framework.saverInstance)) {
        window = CreateWindowExA(extendedStyle, kSaverClassName, title, style, area.left, area.top,
                                 area.right - area.left, area.bottom - area.top, parent, nullptr,
                                 framework.saverInstance, nullptr);
    }
    if (window == nullptr) {
        ReleasePasswordVerifier();
        ReleaseFullScreenClaim(framework);
        return -1;
    }
    if (parent == nullptr) {
        SetForegroundWindow(window);
    }
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // A full-screen run ends only after our own close path destroyed its window; a
            // WM_QUIT that anyone else posted is dropped.
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
    ReleasePasswordVerifier();
    ReleaseFullScreenClaim(framework);
    return static_cast<int>(message.wParam);
}

}  // namespace korvane
