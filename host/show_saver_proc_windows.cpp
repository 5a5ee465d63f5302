// The saver's own reaction to its window's messages: frame timer, settings, the run's grid and
// display, the password prompt and the preview animation.
#include <windows.h>

#include <utility>

#include "grid/cell_geometry.h"
#include "host/saver_host_windows.h"
#include "host/screen_saver_password_windows.h"
#include "show/frame_tick.h"

namespace korvane {
namespace {

constexpr UINT_PTR kFrameTimer = 227;
constexpr UINT kFrameMillisecondsAfterRefusal = 10;
// WM_APP itself is the framework's verification request.
constexpr UINT kSetUpDisplayRequest = WM_APP + 1;

// Shows the cursor for the prompt and hides it again on every way out.
class CursorShownForPrompt {
  public:
    CursorShownForPrompt() { ShowCursor(TRUE); }
    CursorShownForPrompt(const CursorShownForPrompt&) = delete;
    CursorShownForPrompt& operator=(const CursorShownForPrompt&) = delete;
    ~CursorShownForPrompt() { ShowCursor(FALSE); }
};

int32_t ClientWidth(const SaverWindowState& state) {
    return state.clientRect.right;
}

void DrawPreview(HWND window, SaverWindowState& state) {
    const WindowDc windowDc(window);
    const HDC dc = windowDc.get();
    FillRect(dc, &state.clientRect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ComputePreviewFrame(state.tickCounter, ClientWidth(state), state.previewColourStep,
                        state.previewPixels);
    for (const PreviewPixel& pixel : state.previewPixels) {
        SetPixel(dc, pixel.x, pixel.y, RGB(0, pixel.green, 0));
    }
}

void OpenCoversOfOtherMonitors(SaverHost& host) {
    if (host.framework.otherMonitors.empty()) {
        return;
    }
    IndexedBitmap sheet;
    const bool haveSheet = LoadShowGlyphSheet(host.binding, sheet);
    OpenMonitorCovers(host.covers, host.framework.saverInstance, host.framework.otherMonitors,
                      haveSheet ? &sheet : nullptr);
}

// A monitor plugged in or taken away during a run: the other monitors are covered afresh.
void CoverChangedMonitors(SaverHost& host) {
    const MonitorPlan plan = PlanMonitorCovers(ListMonitors(), PrimaryScreenRect());
    if (plan.others == host.framework.otherMonitors) {
        return;
    }
    CloseMonitorCovers(host.covers);
    host.framework.otherMonitors = plan.others;
    OpenCoversOfOtherMonitors(host);
}

void StartFullScreenRun(HWND window, SaverHost& host) {
    const DesktopMode mode = QueryDesktopMode();
    Show& show = host.binding.show;
    show.grid.reset();
    CreateShowGrid(show, mode.width / kCellWidth, mode.height / kCellHeight);
    // The player's thread and buffers come before the display and its first flip.
    StartShowSound(host.binding);
    // WM_SHOWWINDOW comes before the window is visible. Exclusive mode taken that early
    // remembers the window as hidden and hides it again (seen under Wine: unmapped, no
    // keyboard), so the display is set up once the show request has been carried out.
    host.window.setUpRequested = true;
    PostMessageA(window, kSetUpDisplayRequest, 0, 0);
    // The other monitors are covered at once, before the display's set-up and its notices.
    OpenCoversOfOtherMonitors(host);
}

// The set-up's notices run a message loop. A close request that arrives meanwhile waits until
// the set-up has ended, so no half-made device is ever reachable and no second set-up runs
// inside the first.
void SetUpDisplayForRun(HWND window, SaverHost& host) {
    if (host.window.showFailed || host.binding.settingUpDisplay) {
        return;
    }
    POINT pointer{};
    GetCursorPos(&pointer);
    SetUpShowDisplay(host.binding, window, QueryDesktopMode());
    // Exclusive mode may confine the pointer to the primary monitor (Wine's does, moving a
    // pointer that sat elsewhere). The other monitors must stay within the mouse's reach, and
    // the pointer goes back where it was, so that the move is not taken for the user's.
    if (!host.framework.otherMonitors.empty()) {
        ClipCursor(nullptr);
        SetCursorPos(pointer.x, pointer.y);
    }
    if (std::exchange(host.window.closeDeferred, false)) {
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
}

}  // namespace

LONG VerifyShowPassword(HWND window) {
    const LoadedLibrary library = LoadSystemVerifierLibrary();
    const auto verify = library.Find<VerifyPasswordProc>("VerifyScreenSavePwd");
    if (verify == nullptr) {
        return 1;
    }
    SaverHost& host = ActiveSaverHost();
    // Without a DirectDraw object there is no exclusive mode to leave, but the password must
    // still be asked: skipping the verifier here would let anyone close a locked saver.
    const bool hadDevice = LeaveExclusiveMode(host.binding, window);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CursorShownForPrompt cursor;
    const LONG result = verify(window) ? 1 : 0;
    // With no device to restore, a new set-up would only repeat its failure notices.
    if (hadDevice) {
        SetUpDisplayForRun(window, host);
    }
    return result;
}

void RestoreShowDisplay(HWND window) {
    SaverHost& host = ActiveSaverHost();
    const bool hadDevice =
        host.binding.display != nullptr && host.binding.display->directDraw != nullptr;
    if (!hadDevice || host.window.showFailed || host.binding.show.passwordPromptActive) {
        return;
    }
    host.window.setUpRequested = true;
    PostMessageA(window, kSetUpDisplayRequest, 0, 0);
}

void DropShowAfterFailure(HWND window) {
    SaverHost& host = ActiveSaverHost();
    SaverWindowState& state = host.window;
    state.showFailed = true;
    state.setUpRequested = false;
    host.binding.show.passwordPromptActive = false;
    host.framework.verifyingPassword = false;
    host.binding.sound.Purge();
    DeleteShowDisplay(host.binding);
    host.binding.show.grid.reset();
    if (IsWindow(window)) {
        InvalidateRect(window, nullptr, TRUE);
        if (std::exchange(state.closeDeferred, false)) {
            PostMessageA(window, WM_CLOSE, 0, 0);
        }
    }
}

LRESULT ShowSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SaverHost& host = ActiveSaverHost();
    SaverWindowState& state = host.window;
    Show& show = host.binding.show;
    const bool fullScreen = !host.framework.previewMode;
    switch (message) {
        case WM_CREATE:
            state.saverWindow = window;
            SetTimer(window, kFrameTimer, kFrameMilliseconds, nullptr);
            GetClientRect(window, &state.clientRect);
            if (const std::optional<bool> required = ReadPasswordRequired()) {
                state.passwordRequired = *required ? 1 : 0;
            }
            LoadShowSettings(host.binding);
            break;
        case WM_SHOWWINDOW:
            // The run starts once, when the window is first shown; a hide request is no reason
            // to start it again.
            if (fullScreen && wParam != FALSE && !state.fullScreenRunStarted) {
                state.fullScreenRunStarted = true;
                StartFullScreenRun(window, host);
            }
            break;
        case kSetUpDisplayRequest:
            // Only the request we posted ourselves; another process's is ignored.
            // During a prompt the verifier's own set-up follows; exclusive mode must wait.
            if (state.setUpRequested && !show.passwordPromptActive &&
                (InSendMessageEx(nullptr) & ISMEX_SEND) == 0) {
                state.setUpRequested = false;
                SetUpDisplayForRun(window, host);
            }
            return 0;
        case WM_TIMER:
            if (!show.passwordPromptActive) {
                if (fullScreen) {
                    if (ReadyForFrames(host.binding)) {
                        FrameTick(show, state.tickCounter);
                    }
                    StepMonitorCovers(host.covers);
                } else {
                    DrawPreview(window, state);
                }
                ++state.tickCounter;
            }
            break;
        case WM_CLOSE:
            if (host.binding.settingUpDisplay) {
                state.closeDeferred = true;
                return 0;
            }
            if (state.passwordRequired != 0 && fullScreen) {
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
                const LONG accepted = VerifyShowPassword(window);
                host.framework.lastVerifyTick = GetTickCount();
                if (accepted == 0) {
                    SetTimer(window, kFrameTimer, kFrameMillisecondsAfterRefusal, nullptr);
                    show.passwordPromptActive = false;
                    SendMessageA(window, WM_SETCURSOR, 0, 0);
                    return 0;
                }
                EndSaverRun(window);
                return 0;
            }
            break;
        case WM_DISPLAYCHANGE:
            if (fullScreen && state.fullScreenRunStarted && !host.framework.destroyStarted) {
                CoverChangedMonitors(host);
            }
            break;
        case WM_PAINT:
            if (host.binding.gdiDisplay != nullptr) {
                PAINTSTRUCT paint{};
                BeginPaint(window, &paint);
                EndPaint(window, &paint);
                host.binding.gdiDisplay->Present();
                return 0;
            }
            break;
        case WM_DESTROY:
            CloseMonitorCovers(host.covers);
            show.grid.reset();
            KillTimer(window, kFrameTimer);
            state.saverWindow = nullptr;
            host.binding.sound.Purge();
            break;
        case WM_NCDESTROY:
            DeleteShowDisplay(host.binding);
            host.binding.sound.Finish();
            break;
        default:
            break;
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}

}  // namespace korvane
