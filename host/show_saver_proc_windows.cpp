// The show's procedure: the run's set-up and teardown, its frames and paint, the close request
// and what the password prompt does to the window.
#include <windows.h>

#include <new>
#include <utility>

#include "host/saver_window_windows.h"
#include "host/window_cover_windows.h"
#include "show/cell_scale_choice.h"
#include "show/frame_tick.h"

namespace korvane {
namespace {

constexpr UINT_PTR kFrameTimer = 227;
constexpr UINT kFrameMillisecondsAfterRefusal = 10;
constexpr UINT kSetUpDisplayRequest = WM_APP + 1;

void DrawPreview(HWND window, SaverWindowState& state) {
    const WindowDc windowDc(window);
    const HDC dc = windowDc.get();
    FillRect(dc, &state.clientRect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ComputePreviewFrame(state.tickCounter, state.clientRect.right, state.previewColourStep,
                        state.previewPixels);
    for (const PreviewPixel& pixel : state.previewPixels) {
        SetPixel(dc, pixel.x, pixel.y, RGB(0, pixel.green, 0));
    }
}

void OpenCoversOfOtherMonitors(SaverWindow& saver) {
    if (saver.framework.otherMonitors.empty()) {
        return;
    }
    // Without memory for the sheet the covers stay black, but they still cover.
    IndexedBitmap sheet;
    bool haveSheet = false;
    try {
        haveSheet = LoadShowGlyphSheet(saver.binding, sheet);
    } catch (const std::bad_alloc&) {
        haveSheet = false;
    }
    OpenMonitorCovers(saver.covers, saver, saver.framework.saverInstance,
                      saver.framework.otherMonitors, haveSheet ? &sheet : nullptr, GetTickCount());
}

// Asks for the display's set-up once the message under way has been handled.
void RequestDisplaySetUp(SaverWindow& saver, HWND window) {
    saver.window.setUpRequested = true;
    PostMessageA(window, kSetUpDisplayRequest, 0, 0);
}

// The grid of the run's mode, with as many whole cells of the run's factor as fit.
void CreateGridForMode(SaverWindow& saver, int32_t cellScale) {
    Show& show = saver.binding.show;
    show.grid.reset();
    CreateShowGridForScreen(show, saver.binding.mode.width, saver.binding.mode.height, cellScale);
}

// A display that could not hold the sheet at the factor asked for draws smaller cells: the
// grid is made again for them.
void FitGridToDisplay(SaverWindow& saver, int32_t obtained) {
    const Show& show = saver.binding.show;
    if (show.grid != nullptr && show.grid->cellScale != obtained) {
        CreateGridForMode(saver, obtained);
    }
}

// --- A change of the display during the run: each part is planned afresh.

// The primary monitor's rectangle moved or changed its size: the guard keeps the window to the
// new one from now on, and the lock's check puts the window there at once.
void CoverPrimaryAfresh(SaverWindow& saver, const ScreenRect& area) {
    const RECT cover = ToRect(area);
    if (EqualRect(&cover, &saver.framework.coverRect)) {
        return;
    }
    saver.framework.coverRect = cover;
    saver.CheckLock();
}

// A new desktop mode, or a new factor for the primary's cells: a grid of the new size, made
// as at the run's start, and a display for it. The show's state goes on where it was.
void FollowDesktopMode(SaverWindow& saver, HWND window, int32_t cellScale) {
    ShowBinding& binding = saver.binding;
    const DesktopMode mode = binding.queryDesktopMode();
    if ((mode == binding.mode && cellScale == saver.window.cellScale) || saver.window.showFailed) {
        return;
    }
    binding.mode = mode;
    saver.window.cellScale = cellScale;
    CreateGridForMode(saver, cellScale);
    if (GdiPages(binding) != nullptr) {
        // Without DirectDraw before, the change is no reason to show its notices again.
        FitGridToDisplay(saver, SetUpGdiPages(binding, window, mode, cellScale));
        return;
    }
    // DirectDraw's pages are of the old mode: they go now, and the set-up makes new ones (after
    // the prompt, when one is up).
    ReplaceShowDisplay(binding, nullptr);
    RequestDisplaySetUp(saver, window);
}

// A monitor plugged in or taken away: the other monitors are covered afresh.
void CoverOtherMonitorsAfresh(SaverWindow& saver, const std::vector<MonitorCover>& others) {
    if (others == saver.framework.otherMonitors) {
        return;
    }
    CloseMonitorCovers(saver.covers);
    saver.framework.otherMonitors = others;
    OpenCoversOfOtherMonitors(saver);
}

void FollowDisplayChange(SaverWindow& saver, HWND window) {
    const int32_t glyphScale = saver.binding.show.settings.glyphScale;
    const MonitorPlan plan = PlanMonitorCovers(saver.framework.listMonitors(), PrimaryScreenRect(),
                                               glyphScale, ScreenDpi());
    saver.framework.primaryDpi = plan.primary.dpi;
    CoverPrimaryAfresh(saver, plan.primary.area);
    FollowDesktopMode(saver, window, ChooseCellScale(glyphScale, plan.primary.dpi));
    CoverOtherMonitorsAfresh(saver, plan.others);
}

// The set-up's notices run a message loop. A close request that arrives meanwhile waits until
// the set-up has ended, so no half-made device is ever reachable and no second set-up runs
// inside the first.
void SetUpDisplayForRun(HWND window, SaverWindow& saver) {
    if (saver.window.showFailed || saver.binding.settingUpDisplay) {
        return;
    }
    saver.window.setUpRequested = false;  // this set-up answers every request made so far
    POINT pointer{};
    GetCursorPos(&pointer);
    // A copy: a display change during the set-up's notices sets the run's mode anew.
    const DesktopMode mode = saver.binding.mode;
    FitGridToDisplay(saver, SetUpShowDisplay(saver.binding, window, mode, saver.window.cellScale));
    // Exclusive mode may confine the pointer to the primary monitor (Wine's does, moving a
    // pointer that sat elsewhere). The other monitors must stay within the mouse's reach, and
    // the pointer goes back where it was, so that the move is not taken for the user's.
    if (!saver.framework.otherMonitors.empty()) {
        ClipCursor(nullptr);
        SetCursorPos(pointer.x, pointer.y);
    }
    // A display change during the set-up's notices asked for a set-up of the new mode.
    if (saver.window.setUpRequested) {
        PostMessageA(window, kSetUpDisplayRequest, 0, 0);
    }
    if (std::exchange(saver.window.closeDeferred, false)) {
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
}

// --- Set-up, in the order the window's messages bring it.

void DetachInputMethod(SaverFramework& framework, HWND window) {
    // Only an input method that is already loaded is detached; we never load one.
    if (HMODULE imm = GetModuleHandleA("IMM32.DLL"); imm != nullptr) {
        framework.immAssociateContext = reinterpret_cast<ImmAssociateContextProc>(
            reinterpret_cast<void*>(GetProcAddress(imm, "ImmAssociateContext")));
        if (framework.immAssociateContext != nullptr) {
            framework.previousInputContext = framework.immAssociateContext(window, nullptr);
        }
    }
}

void StartFrameTimer(HWND window, UINT milliseconds) {
    SetTimer(window, kFrameTimer, milliseconds, nullptr);
}

// WM_CREATE, once: everything the window needs before it is first shown. The password flag
// was read before the window existed and is not read again.
void SetUpSaverWindow(SaverWindow& saver, HWND window) {
    saver.window.created = true;
    saver.window.saverWindow = window;
    DetachInputMethod(saver.framework, window);
    saver.framework.mouse.Reset(CursorNow());
    if (!saver.framework.previewMode) {
        SetCursor(nullptr);
    }
    StartFrameTimer(window, kFrameMilliseconds);
    GetClientRect(window, &saver.window.clientRect);
    LoadShowSettings(saver.binding);
}

// The first WM_SHOWWINDOW of a full-screen run: the grid, the sound, the display and covers.
void StartFullScreenRun(SaverWindow& saver, HWND window) {
    saver.binding.mode = saver.binding.queryDesktopMode();
    // The cells' factor: the glyph size of the settings, or the monitors' own DPI.
    const int32_t glyphScale = saver.binding.show.settings.glyphScale;
    saver.window.cellScale = ChooseCellScale(glyphScale, saver.framework.primaryDpi);
    ApplyGlyphScale(saver.framework.otherMonitors, glyphScale);
    CreateGridForMode(saver, saver.window.cellScale);
    // The player's thread and buffers come before the display and its first flip.
    StartShowSound(saver.binding);
    // WM_SHOWWINDOW comes before the window is visible. Exclusive mode taken that early
    // remembers the window as hidden and hides it again (seen under Wine: unmapped, no
    // keyboard), so the display is set up once the show request has been carried out.
    RequestDisplaySetUp(saver, window);
    // The other monitors are covered at once, before the display's set-up and its notices.
    OpenCoversOfOtherMonitors(saver);
    SetTimer(window, kLockCheckTimer, kLockCheckMilliseconds, nullptr);
}

// --- Teardown, at WM_DESTROY; the window leaves the table at WM_NCDESTROY.

void RestoreInputMethod(const SaverFramework& framework, HWND window) {
    if (GetModuleHandleA("IMM32.DLL") != nullptr && framework.immAssociateContext != nullptr &&
        framework.previousInputContext != nullptr) {
        framework.immAssociateContext(window, framework.previousInputContext);
    }
}

void TearDownSaverWindow(SaverWindow& saver, HWND window) {
    RestoreInputMethod(saver.framework, window);
    CloseMonitorCovers(saver.covers);
    KillTimer(window, kLockCheckTimer);
    KillTimer(window, kFrameTimer);
    saver.binding.show.grid.reset();
    saver.window.saverWindow = nullptr;
    saver.binding.sound.Purge();
    DeleteShowDisplay(saver.binding);
    saver.binding.sound.Finish();
    PostQuitMessage(0);
}

// --- Messages.

void RunFrame(SaverWindow& saver, HWND window) {
    SaverWindowState& state = saver.window;
    if (saver.framework.previewMode) {
        DrawPreview(window, state);
    } else {
        if (ReadyForFrames(saver.binding)) {
            FrameTick(saver.binding.show, state.tickCounter);
        }
        StepMonitorCovers(saver.covers, saver.framework.otherMonitors, GetTickCount());
    }
    ++state.tickCounter;
}

LRESULT Paint(SaverWindow& saver, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (saver.gate.CloseAllowed()) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (!saver.framework.previewMode) {
        SetCursor(nullptr);
    }
    if (GdiDisplay* pages = GdiPages(saver.binding)) {
        PAINTSTRUCT paint{};
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        pages->Present();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Close(SaverWindow& saver, HWND window) {
    if (saver.framework.previewMode) {
        EndSaverRun(saver.framework, window);
        return;
    }
    if (saver.binding.settingUpDisplay) {
        saver.window.closeDeferred = true;
        return;
    }
    if (saver.gate.AllowsClose(window, saver)) {
        EndSaverRun(saver.framework, window);
    }
}

}  // namespace

void SaverWindow::BeforePrompt() {
    HWND saverWindow = window.saverWindow;
    // A close request comes from the queue, after any hide that let go of the activation: the
    // prompt, and the display set up after it, need the foreground back first.
    window.activationLetGo = false;
    CheckLock();
    KillTimer(saverWindow, kFrameTimer);
    // Ticks already queued must not run frames under the prompt either.
    MSG pending;
    while (PeekMessageA(&pending, saverWindow, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD)) {
    }
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    // Without a DirectDraw object there is no exclusive mode to leave, but the password must
    // still be asked: skipping the verifier here would let anyone close a locked saver.
    window.promptLeftExclusiveMode = LeaveExclusiveMode(binding, saverWindow);
    SetWindowPos(saverWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void SaverWindow::AfterPrompt(bool accepted) {
    HWND saverWindow = window.saverWindow;
    // With no device to restore, a new set-up would only repeat its failure notices.
    if (std::exchange(window.promptLeftExclusiveMode, false)) {
        SetUpDisplayForRun(saverWindow, *this);
        framework.coverDisturbed = false;  // the display is new
    }
    if (!accepted) {
        StartFrameTimer(saverWindow, kFrameMillisecondsAfterRefusal);
        framework.mouse.Reset(CursorNow());
        SendMessageA(saverWindow, WM_SETCURSOR, 0, 0);
    }
}

LRESULT SaverWindow::ReactToCoverInput(UINT message, WPARAM wParam) {
    // While the password is asked the pointer must be seen wherever it goes.
    if (gate.PromptUp()) {
        if (message == WM_SETCURSOR) {
            SetCursor(LoadCursorA(nullptr, IDC_ARROW));
            return TRUE;
        }
        return 0;
    }
    if (window.saverWindow == nullptr) {
        return 0;
    }
    return ApplyInputRules(framework, gate, window.saverWindow, message, wParam).value_or(0);
}

void SaverWindow::RestoreShowDisplay(HWND saverWindow) {
    const DisplayDevice* device = DirectDrawDisplay(binding);
    if (device == nullptr || device->directDraw == nullptr || window.showFailed ||
        gate.PromptUp()) {
        return;
    }
    window.setUpRequested = true;
    PostMessageA(saverWindow, kSetUpDisplayRequest, 0, 0);
}

void SaverWindow::DropShowAfterFailure(HWND saverWindow) {
    window.showFailed = true;
    window.setUpRequested = false;
    binding.sound.Purge();
    DeleteShowDisplay(binding);
    binding.show.grid.reset();
    if (IsWindow(saverWindow)) {
        InvalidateRect(saverWindow, nullptr, TRUE);
        if (std::exchange(window.closeDeferred, false)) {
            PostMessageA(saverWindow, WM_CLOSE, 0, 0);
        }
    }
}

LRESULT ShowSaverProc(SaverWindow& saver, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SaverWindowState& state = saver.window;
    const bool fullScreen = !saver.framework.previewMode;
    // Only the system (for a preview, with its parent) or our own close path destroys the
    // window; a forged destroy must not tear down the show or end the loop.
    const bool guardsScreen = fullScreen && !saver.framework.destroyStarted;
    switch (message) {
        case WM_CREATE:
            if (state.created) {
                return 0;  // only the window's own creation sets it up
            }
            SetUpSaverWindow(saver, window);
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_SHOWWINDOW:
            if (guardsScreen && wParam == FALSE && GetActiveWindow() == window) {
                // A hide is on its way. It is refused, but the system would still hand the
                // activation to the window beneath, whose thread takes it when it gets round
                // to it: under Wine it then raises its window over ours, topmost or not, even
                // if we took the foreground back meanwhile. Let go of the activation first, so
                // there is none to hand on; the lock check takes it back once the hide is over.
                state.activationLetGo = true;
                SetActiveWindow(nullptr);
            }
            // The run starts once, when the window is first shown; a hide request is no
            // reason to start it again.
            if (fullScreen && wParam != FALSE && !state.fullScreenRunStarted) {
                state.fullScreenRunStarted = true;
                StartFullScreenRun(saver, window);
            }
            ApplyInputRules(saver.framework, saver.gate, window, message, wParam);
            return DefWindowProcA(window, message, wParam, lParam);
        case kSetUpDisplayRequest:
            // Only the request we posted ourselves; another process's is ignored.
            // During a prompt the verifier's own set-up follows; exclusive mode must wait. A
            // request that comes during a set-up stays until that set-up has ended.
            if (state.setUpRequested && !saver.gate.PromptUp() && !saver.binding.settingUpDisplay &&
                (InSendMessageEx(nullptr) & ISMEX_SEND) == 0) {
                SetUpDisplayForRun(window, saver);
            }
            return 0;
        case WM_TIMER:
            if (wParam != kFrameTimer) {
                return 0;
            }
            // A timer message comes once a hide is over; what the hide left is repaired before
            // a frame meets it (a flip on a minimised window stalled the thread for 2 s).
            if (std::exchange(state.activationLetGo, false)) {
                saver.CheckLock();
            }
            if (!saver.gate.CloseAllowed() && !saver.gate.PromptUp()) {
                RunFrame(saver, window);
                Sleep(0);
            }
            return 0;
        case WM_PAINT:
            return Paint(saver, window, message, wParam, lParam);
        case WM_CLOSE:
            Close(saver, window);
            return 0;
        case WM_DISPLAYCHANGE:
            // What changed is read from the system, never from the message, which anyone can
            // send.
            if (guardsScreen && state.fullScreenRunStarted) {
                FollowDisplayChange(saver, window);
            }
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_DESTROY:
            if (guardsScreen) {
                return 0;
            }
            TearDownSaverWindow(saver, window);
            return 0;
        case WM_NCDESTROY:
            if (guardsScreen) {
                return 0;
            }
            ForgetWindow(window);
            return DefWindowProcA(window, message, wParam, lParam);
        default:
            return DefaultSaverProc(saver.framework, saver.gate, window, message, wParam, lParam);
    }
}

}  // namespace korvane
