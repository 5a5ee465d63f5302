#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "host/input_rules.h"
#include "host/monitor_covers_windows.h"
#include "host/monitor_layout.h"
#include "host/password_gate_windows.h"

namespace korvane {

inline constexpr char kSaverClassName[] = "WindowsScreenSaverClass";
inline constexpr char kFullScreenTitle[] = "Screen Saver";
inline constexpr char kPreviewTitle[] = "Preview";

// How long a start that finds the claim taken looks for the first run's window, which may
// still be on its way.
inline constexpr DWORD kFindRunningMilliseconds = 5000;

using ImmAssociateContextProc = HANDLE(WINAPI*)(HWND, HANDLE);
// True when this start holds the claim, or no claim can be had; false while another holds it.
using ClaimFullScreenProc = bool (*)(HANDLE& claim);
using ListMonitorsProc = std::vector<MonitorArea> (*)();

bool ClaimFullScreenRun(HANDLE& claim);

// The screen-saver framework's state: the mode, the single full-screen run, the window's place
// and the input that ends the saver. It knows nothing of the show.
struct SaverFramework {
    HINSTANCE saverInstance = nullptr;
    bool onWindows9x = false;
    // Decided by the switch alone (/p or /l), never by the window's size.
    bool previewMode = false;
    ClaimFullScreenProc claimFullScreen = &ClaimFullScreenRun;
    HANDLE fullScreenClaim = nullptr;
    DWORD findRunningMilliseconds = kFindRunningMilliseconds;
    // This run holds the full-screen run and its running flag: it found no running saver of
    // this program to defer to, whether or not it got the claim.
    bool ownsFullScreenRun = false;
    // Set by our own close path just before it destroys the window; until then a full-screen
    // run ignores destroy and quit messages, whoever sends them.
    bool destroyStarted = false;
    RECT coverRect{};  // the primary monitor, in physical pixels
    int32_t primaryDpi = kDesignDpi;
    ListMonitorsProc listMonitors = &ListMonitors;  // tests hand in monitors of their own
    // The monitors beside the primary, each covered by a window of its own during a run.
    std::vector<MonitorCover> otherMonitors;
    // Something tried to hide, minimise or move the window since it was last covered again.
    bool coverDisturbed = false;
    UINT autoPlayMessage = 0;
    MouseTracker mouse;
    ImmAssociateContextProc immAssociateContext = nullptr;
    HANDLE previousInputContext = nullptr;
};

// The framework's default procedure, last of the saver window's three: the input that ends a
// full-screen run, the system commands it swallows, AutoPlay, a preview's help requests, and
// DefWindowProc for everything else.
LRESULT DefaultSaverProc(SaverFramework& framework, const PasswordGate& gate, HWND window,
                         UINT message, WPARAM wParam, LPARAM lParam);

// The input rules of a full-screen run for a message that reached the saver window or a
// monitor cover: a close request goes to `saverWindow`. Answers the messages it decides itself.
std::optional<LRESULT> ApplyInputRules(SaverFramework& framework, const PasswordGate& gate,
                                       HWND saverWindow, UINT message, WPARAM wParam);

// Ends a full-screen run through our own close path: the only destroy it accepts.
void EndSaverRun(SaverFramework& framework, HWND window);

// Takes the one full-screen run for this process. False only when a running full-screen saver
// of this same program is found: that one is brought forward instead.
bool TakeFullScreenRun(SaverFramework& framework);
void ReleaseFullScreenRun(SaverFramework& framework);

// Runs the thread's messages until `window`'s run has ended; a full-screen run ends only
// after our own close path destroyed its window, and a WM_QUIT anyone else posted is dropped.
int RunSaverMessages(const SaverFramework& framework, HWND window);

// Where the pointer is now.
CursorPoint CursorNow();

}  // namespace korvane
