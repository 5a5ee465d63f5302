// The screen-saver framework: window class, message loop, the input that ends the saver, the
// single full-screen instance and the platform's password verifier.
#include <windows.h>

#include "host/saver_host_windows.h"

namespace korvane {
namespace {

constexpr char kSaverClassName[] = "WindowsScreenSaverClass";
constexpr char kFullScreenTitle[] = "Screen Saver";
constexpr char kPreviewTitle[] = "Preview";
constexpr int kIconResource = 100;
constexpr UINT kVerifyRequest = WM_APP;

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

// Closes the registry key it holds on every way out.
class RegistryKey {
  public:
    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    HKEY* Receive() { return &key_; }
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

}  // namespace

void SetActiveSaverHost(SaverHost* host) {
    activeHost = host;
}
SaverHost& ActiveSaverHost() {
    return *activeHost;
}

void SetSaverRunning(bool on) {
    if (!Framework().onWindows9x) {
        return;
    }
    UINT previous = 0;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, on ? 1 : 0, &previous, 0);
}

void ReleasePasswordVerifier() {
    SaverFramework& framework = Framework();
    if (!framework.onWindows9x || framework.passwordLibrary == nullptr) {
        return;
    }
    FreeLibrary(framework.passwordLibrary);
    framework.passwordLibrary = nullptr;
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
    if (framework.passwordLibrary != nullptr) {
        ReleasePasswordVerifier();
    }
    RegistryKey desktop;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", desktop.Receive()) !=
        ERROR_SUCCESS) {
        return;
    }
    DWORD usePassword = 0;
    DWORD size = sizeof usePassword;
    if (RegQueryValueExA(desktop.get(), "ScreenSaveUsePassword", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&usePassword), &size) != ERROR_SUCCESS ||
        usePassword == 0) {
        return;
    }
    framework.passwordLibrary = LoadLibraryA("PASSWORD.CPL");
    if (framework.passwordLibrary == nullptr) {
        return;
    }
    framework.verifyProc = reinterpret_cast<VerifyPasswordProc>(
        reinterpret_cast<void*>(GetProcAddress(framework.passwordLibrary, "VerifyScreenSavePwd")));
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
        } else if (!framework.verifyingPassword) {
            switch (ReactToInput(message, wParam)) {
                case InputReaction::kHideCursor:
                    SetCursor(nullptr);
                    break;
                case InputReaction::kHideCursorAnswered:
                    SetCursor(nullptr);
                    return 1;
                case InputReaction::kClose:
                    PostClose(window);
                    break;
                case InputReaction::kMeasureMouse:
                    if (framework.mouse.MovedTooFar(CursorNow())) {
                        PostClose(window);
                    }
                    break;
                case InputReaction::kNone:
                    break;
            }
        }
    }
    if (framework.autoPlayMessage != 0 && message == framework.autoPlayMessage) {
        // Answering 1 asks the platform to cancel AutoPlay while a password guards the desktop.
        PostClose(window);
        return framework.verifyProc != nullptr ? 1 : 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK SaverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SaverFramework& framework = Framework();
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
            if (GetModuleHandleA("IMM32.DLL") != nullptr &&
                framework.immAssociateContext != nullptr &&
                framework.previousInputContext != nullptr) {
                framework.immAssociateContext(window, framework.previousInputContext);
            }
            PostQuitMessage(0);
            break;
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

int RunSaverWindow(HWND parent) {
    SaverFramework& framework = Framework();
    WNDCLASSA windowClass{};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    windowClass.lpfnWndProc = SaverClassProc;
    windowClass.hInstance = framework.saverInstance;
    windowClass.hIcon = LoadIconA(framework.saverInstance, MAKEINTRESOURCEA(kIconResource));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kSaverClassName;

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
        HDC screen = GetDC(nullptr);
        GetClipBox(screen, &area);
        ReleaseDC(nullptr, screen);
        style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        extendedStyle = WS_EX_TOPMOST;
        title = kFullScreenTitle;
        framework.previewMode = false;
        // One full-screen saver at a time: a second start brings the first forward.
        HWND running = FindWindowA(kSaverClassName, kFullScreenTitle);
        if (running != nullptr && IsWindow(running)) {
            SetForegroundWindow(running);
            return 0;
        }
        LoadPasswordVerifier();
    }
    framework.autoPlayMessage =
        framework.onWindows9x ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0;

    HWND window = nullptr;
    if (RegisterClassA(&windowClass) != 0) {
        window = CreateWindowExA(extendedStyle, kSaverClassName, title, style, area.left, area.top,
                                 area.right - area.left, area.bottom - area.top, parent, nullptr,
                                 framework.saverInstance, nullptr);
    }
    if (window == nullptr) {
        ReleasePasswordVerifier();
        return -1;
    }
    if (parent == nullptr) {
        SetForegroundWindow(window);
    }
    MSG message{};
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    ReleasePasswordVerifier();
    return static_cast<int>(message.wParam);
}

}  // namespace korvane
