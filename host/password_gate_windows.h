#pragma once

#include <windows.h>

#include "host/input_rules.h"
#include "host/screen_saver_password_windows.h"
#include "win32/scoped_handles_windows.h"

namespace korvane {

// Tells the platform whether a saver runs (on Windows 9x this disables task switching).
using AnnounceRunningProc = void (*)(bool on);

void AnnounceRunningToSystem(bool on);

// The platform's "a saver runs" flag. Windows 9x only, and only the one full-screen run that
// holds the claim may set it; whoever set it takes it back, once.
class RunningFlag {
  public:
    void Set(bool on);
    // Sets the flag again while it is ours: another program may have cleared it meanwhile.
    void Reassert();

    AnnounceRunningProc announce = &AnnounceRunningToSystem;
    bool onWindows9x = false;
    bool ownsFullScreenRun = false;
    bool announced = false;
};

// What a prompt needs of the window it guards. Before asking, the frames pause and exclusive
// mode is left, so the verifier's dialog can be seen; afterwards the window is put back.
class PromptSurroundings {
  public:
    virtual void BeforePrompt() = 0;
    virtual void AfterPrompt(bool accepted) = 0;

  protected:
    ~PromptSurroundings() = default;
};

// The one gate between a close request and the end of a full-screen run: the stored flag, the
// verifier, the prompt, the grace period and the running flag.
class PasswordGate {
  public:
    PasswordGate() = default;
    ~PasswordGate() { CloseForRun(); }
    PasswordGate(const PasswordGate&) = delete;
    PasswordGate& operator=(const PasswordGate&) = delete;

    // Once per run, before the window exists. Reads "ScreenSaveUsePassword"; on Windows 9x a
    // required password also loads the verifier for the whole run and sets the running flag.
    void OpenForRun(bool onWindows9x, bool ownsFullScreenRun);
    // Gives back what OpenForRun took: the held verifier and the running flag.
    void CloseForRun();

    // Whether a close request ends the run now. Without a required password it does. With one,
    // the verifier asks, one prompt at a time; within the grace period after an answer the
    // answer stands. A verifier that is not in the system folder lets the run close; one that
    // is there but does not load or lacks its entry refuses.
    bool AllowsClose(HWND window, PromptSurroundings& surroundings);

    bool PromptUp() const { return promptUp; }
    bool CloseAllowed() const { return closeAllowed; }
    // A close request goes to the verifier (or is refused) rather than ending the run.
    bool PasswordInForce() const {
        return !closeAllowed && (required || heldVerifier != nullptr || heldVerifierBroken);
    }
    // Windows 9x cancels AutoPlay for us while a verifier guards the desktop, a broken one too.
    bool HoldsVerifier() const { return heldVerifier != nullptr || heldVerifierBroken; }

    bool onWindows9x = false;
    bool required = false;
    LoadedLibrary heldLibrary;                  // Windows 9x: held for the run
    VerifyPasswordProc heldVerifier = nullptr;  // Windows 9x: the held library's entry
    bool heldVerifierBroken = false;            // Windows 9x: there, but it cannot answer
    bool promptUp = false;
    bool closeAllowed = false;
    DWORD lastVerifyTick = kNoVerificationYet;
    RunningFlag running;

  private:
    bool Ask(HWND window, PromptSurroundings& surroundings);
};

// Ends the process with -1, whatever crashed, after taking back the running flag it watches.
// Installed as the unhandled-exception filter around a mode's run.
LONG WINAPI SaverCrashGuard(EXCEPTION_POINTERS* exception);

// Puts a run's flag under the crash guard's watch for as long as this lives.
class CrashGuardWatch {
  public:
    explicit CrashGuardWatch(RunningFlag& flag);
    ~CrashGuardWatch();
    CrashGuardWatch(const CrashGuardWatch&) = delete;
    CrashGuardWatch& operator=(const CrashGuardWatch&) = delete;

  private:
    RunningFlag* outer_;
};

}  // namespace korvane
