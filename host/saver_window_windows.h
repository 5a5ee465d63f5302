#pragma once

#include <windows.h>

#include <cstdint>

#include "host/lock_integrity_windows.h"
#include "host/message_filter_windows.h"
#include "host/monitor_covers_windows.h"
#include "host/password_gate_windows.h"
#include "host/preview_animation.h"
#include "host/saver_framework_windows.h"
#include "host/saver_input_windows.h"
#include "host/show_binding_windows.h"
#include "win32/window_table_windows.h"

namespace korvane {

// The window's own state between messages.
struct SaverWindowState {
    HWND saverWindow = nullptr;
    RECT clientRect{};
    int32_t tickCounter = 0;
    int32_t previewColourStep = kInitialPreviewColourStep;
    PreviewFrame previewPixels{};
    bool created = false;  // the first WM_CREATE has been carried out; any later one is forged
    bool fullScreenRunStarted = false;
    int32_t cellScale = 1;  // the factor the run's cells are asked at, from the glyph size
    // A display set-up request that we posted and that has not been carried out yet.
    bool setUpRequested = false;
    // A close request that came while the display was being set up; handled afterwards.
    bool closeDeferred = false;
    // A failure inside the show dropped it to a black screen; the password gate stays.
    bool showFailed = false;
    // The prompt under way left exclusive mode, so the display is set up again afterwards.
    bool promptLeftExclusiveMode = false;
    // A hide let go of the activation, so that it had none to hand on. Until the next lock
    // check from the timer or before a prompt, both of which come once the hide is over, the
    // check waits: whatever it repaired inside the hide (the minimised state that Wine's
    // exclusive mode gives a window that loses the activation, the foreground) the rest of the
    // hide would answer by handing the activation on, and under Wine the window that got it
    // then rises over ours.
    bool activationLetGo = false;
};

// One saver window and everything it keeps between messages: the framework's state, the
// password gate, the show with its display and sound, the monitor covers, and the lock against
// other programs (its check and its message filter). The mode that
// runs it owns it; the window procedures find it in the thread's window table.
class SaverWindow final : public WindowOwner, public PromptSurroundings, public SaverInput {
  public:
    // Drops the show to a black screen after a failure inside it; the window and the password
    // gate stay.
    void DropShowAfterFailure(HWND window);
    // Sets a working display up again after the window was disturbed; not during a prompt.
    void RestoreShowDisplay(HWND window);

    void BeforePrompt() override;
    void AfterPrompt(bool accepted) override;
    LRESULT ReactToCoverInput(UINT message, WPARAM wParam) override;
    bool PromptUp() const override { return gate.PromptUp(); }
    // The check of the whole lock, the saver window and every cover, once the full-screen run
    // has started; on Windows 9x it also sets the running flag again.
    void CheckLock() override;

    SaverFramework framework;
    PasswordGate gate;
    SaverWindowState window;
    ShowBinding binding;
    MonitorCovers covers;
    LockIntegrity lock;
    PostedMessageFilter filter;
};

// The saver window's class procedure, first of its three: it finds the window's object and
// keeps the window where it belongs (shown, topmost, whole, over its monitor, its title and
// style unchanged) through the lock check; everything else goes on to ShowSaverProc.
LRESULT CALLBACK SaverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool RegisterSaverClass(HINSTANCE instance);

// The show's procedure, second of the three: the run's set-up and teardown, its frames and
// paint, the close request and the password prompt; the rest goes to DefaultSaverProc.
LRESULT ShowSaverProc(SaverWindow& saver, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Creates `saver`'s window as the table's first promise: over `parent`'s client area for a
// preview, else over the primary monitor. Null when it could not be made.
HWND CreateSaverWindow(SaverWindow& saver, HWND parent, const RECT& area, const char* title);

// Runs the saver window as a child of `parent` (a preview) or full screen (null), until it
// ends. The password gate is opened before the window exists.
int RunSaverWindow(SaverWindow& saver, HWND parent);

}  // namespace korvane
