// The saver's own reaction to its window's messages: frame timer, settings, the run's grid and
// display, the password prompt and the preview animation.
#include <windows.h>

#include "grid/cell_geometry.h"
#include "host/saver_host_windows.h"
#include "show/frame_tick.h"

namespace korvane {
namespace {

constexpr UINT_PTR kFrameTimer = 227;
constexpr UINT kFrameMilliseconds = 30;
constexpr UINT kFrameMillisecondsAfterRefusal = 10;
// WM_APP itself is the framework's verification request.
constexpr UINT kSetUpDisplayRequest = WM_APP + 1;

// Diagnostics of the password path go nowhere.
void DebugTrace(const char*) {}

DWORD ReadPasswordFlag(DWORD current) {
    HKEY desktop = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_ALL_ACCESS, &desktop) !=
        ERROR_SUCCESS) {
        return current;
    }
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS) {
        current = value;
    }
    RegCloseKey(desktop);
    return current;
}

int32_t ClientWidth(const SaverWindowState& state) {
    return state.clientRect.right;
}

void DrawPreview(HWND window, SaverWindowState& state) {
    HDC dc = GetDC(window);
    FillRect(dc, &state.clientRect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ComputePreviewFrame(state.tickCounter, ClientWidth(state), state.previewColourStep,
                        state.previewPixels);
    for (const PreviewPixel& pixel : state.previewPixels) {
        SetPixel(dc, pixel.x, pixel.y, RGB(0, pixel.green, 0));
    }
    ReleaseDC(window, dc);
}

void StartFullScreenRun(HWND window, SaverHost& host) {
    const DesktopMode mode = QueryDesktopMode();
    Show& show = host.show.show;
    show.grid.reset();
    CreateShowGrid(show, mode.width / kCellWidth, mode.height / kCellHeight);
    // WM_SHOWWINDOW comes before the window is visible. Exclusive mode taken that early
    // remembers the window as hidden and hides it again (seen under Wine: unmapped, no
    // keyboard), so the display is set up once the show request has been carried out.
    PostMessageA(window, kSetUpDisplayRequest, 0, 0);
}

}  // namespace

LONG VerifyShowPassword(HWND window) {
    HMODULE library = LoadLibraryA("PASSWORD.CPL");
    if (library == nullptr) {
        DebugTrace("Unable to load PASSWORD.CPL. Aborting\n");
        return 1;
    }
    auto verify = reinterpret_cast<VerifyPasswordProc>(
        reinterpret_cast<void*>(GetProcAddress(library, "VerifyScreenSavePwd")));
    if (verify == nullptr) {
        DebugTrace("Unable to get VerifyPwProc address. Aborting\n");
        FreeLibrary(library);
        return 1;
    }
    DebugTrace("About to call VerifyPwProc");
    SaverHost& host = ActiveSaverHost();
    // Without a DirectDraw object there is no exclusive mode to leave, but the password must
    // still be asked: skipping the verifier here would let anyone close a locked saver.
    LeaveExclusiveMode(host.show, window);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowCursor(TRUE);
    const LONG result = verify(window) ? 1 : 0;
    SetUpShowDisplay(host.show, window, QueryDesktopMode());
    ShowCursor(FALSE);
    FreeLibrary(library);
    return result;
}

LRESULT ShowSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SaverHost& host = ActiveSaverHost();
    SaverWindowState& state = host.window;
    Show& show = host.show.show;
    switch (message) {
        case WM_CREATE:
            state.saverWindow = window;
            SetTimer(window, kFrameTimer, kFrameMilliseconds, nullptr);
            GetClientRect(window, &state.clientRect);
            state.passwordRequired = ReadPasswordFlag(state.passwordRequired);
            LoadShowSettings(host.show);
            break;
        case WM_SHOWWINDOW:
            if (IsFullScreenWidth(ClientWidth(state))) {
                StartFullScreenRun(window, host);
            }
            break;
        case kSetUpDisplayRequest:
            SetUpShowDisplay(host.show, window, QueryDesktopMode());
            break;
        case WM_TIMER:
            if (!show.passwordPromptActive) {
                if (IsFullScreenWidth(ClientWidth(state))) {
                    if (ReadyForFrames(host.show)) {
                        FrameTick(show, state.tickCounter);
                    }
                } else {
                    DrawPreview(window, state);
                }
                ++state.tickCounter;
            }
            break;
        case WM_CLOSE:
            if (state.passwordRequired != 0 && IsFullScreenWidth(ClientWidth(state))) {
                if (show.passwordPromptActive) {
                    return 0;
                }
                // Input that was already queued when the password was refused must not bring
                // the prompt straight back.
                if (WithinVerifyGrace(GetTickCount(), host.framework.lastVerifyTick)) {
                    return 0;
                }
                show.passwordPromptActive = true;
                KillTimer(window, kFrameTimer);
                SendMessageA(window, WM_SETCURSOR, 0, 0);
                const LONG accepted = VerifyShowPassword(state.saverWindow);
                host.framework.lastVerifyTick = GetTickCount();
                if (accepted == 0) {
                    SetTimer(window, kFrameTimer, kFrameMillisecondsAfterRefusal, nullptr);
                    show.passwordPromptActive = false;
                    SendMessageA(window, WM_SETCURSOR, 0, 0);
                    return 0;
                }
                DestroyWindow(state.saverWindow);
            }
            break;
        case WM_DESTROY:
            show.grid.reset();
            KillTimer(window, kFrameTimer);
            state.saverWindow = nullptr;
            host.show.sound.Purge();
            break;
        case WM_NCDESTROY:
            DeleteShowDisplay(host.show);
            break;
        default:
            break;
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}

}  // namespace korvane
