#include "host/password_gate_windows.h"

#include <utility>

namespace korvane {
namespace {

constexpr int kGuardExitCode = -1;

// The crash guard's own state: the flag it must take back.
RunningFlag* guardedFlag = nullptr;

// Shows the cursor for the prompt and hides it again on every way out.
class CursorShownForPrompt {
  public:
    CursorShownForPrompt() { ShowCursor(TRUE); }
    CursorShownForPrompt(const CursorShownForPrompt&) = delete;
    CursorShownForPrompt& operator=(const CursorShownForPrompt&) = delete;
    ~CursorShownForPrompt() { ShowCursor(FALSE); }
};

// Lowers the prompt flag on every way out, a thrown failure included, but only once the
// verifier has returned: no second prompt can open inside the first.
class PromptRaised {
  public:
    explicit PromptRaised(bool& flag) : flag_(flag) { flag_ = true; }
    PromptRaised(const PromptRaised&) = delete;
    PromptRaised& operator=(const PromptRaised&) = delete;
    ~PromptRaised() { flag_ = false; }

  private:
    bool& flag_;
};

// A fault inside the guard itself. 64-bit Windows hands it to the unhandled-exception filter
// again, but 32-bit Windows (and Wine) end the process with the fault's own code when the
// filter's frame is the one that faults, so the guard's exit code would be lost. A vectored
// handler sees every exception first, on both word sizes.
LONG WINAPI EndOnFaultInsideGuard(EXCEPTION_POINTERS*) {
    ExitProcess(static_cast<UINT>(kGuardExitCode));
}

}  // namespace

void AnnounceRunningToSystem(bool on) {
    UINT previous = 0;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, on ? 1 : 0, &previous, 0);
}

void RunningFlag::Set(bool on) {
    if (!onWindows9x || announced == on) {
        return;
    }
    if (on && !ownsFullScreenRun) {
        return;  // only the one full-screen run that holds the claim owns the flag
    }
    announced = on;
    announce(on);
}

void RunningFlag::Reassert() {
    if (onWindows9x && announced) {
        announce(true);
    }
}

void PasswordGate::OpenForRun(bool on9x, bool ownsFullScreenRun) {
    CloseForRun();
    onWindows9x = on9x;
    running.onWindows9x = on9x;
    running.ownsFullScreenRun = ownsFullScreenRun;
    required = ReadPasswordRequired().value_or(false);
    if (!onWindows9x || !required) {
        return;
    }
    VerifierLibrary verifier = LoadSystemVerifier();
    heldVerifier = verifier.verify;
    heldVerifierBroken = verifier.present && heldVerifier == nullptr;
    if (heldVerifier != nullptr) {
        heldLibrary = std::move(verifier.library);
    }
    if (HoldsVerifier()) {
        running.Set(true);
    }
}

void PasswordGate::CloseForRun() {
    heldVerifier = nullptr;
    heldVerifierBroken = false;
    heldLibrary.Reset();
    running.Set(false);
}

bool PasswordGate::AllowsClose(HWND window, PromptSurroundings& surroundings) {
    if (closeAllowed) {
        return true;
    }
    if (promptUp) {
        return false;
    }
    if (!required && heldVerifier == nullptr) {
        closeAllowed = true;
        return true;
    }
    // Input that was already queued when the password was refused must not bring the prompt
    // straight back.
    if (WithinVerifyGrace(GetTickCount(), lastVerifyTick)) {
        return closeAllowed;
    }
    closeAllowed = Ask(window, surroundings);
    lastVerifyTick = GetTickCount();
    return closeAllowed;
}

bool PasswordGate::Ask(HWND window, PromptSurroundings& surroundings) {
    // Windows 9x asks the verifier held for the run; later systems load it for each prompt.
    VerifierLibrary perPrompt;
    VerifyPasswordProc verify = heldVerifier;
    bool present = HoldsVerifier();
    if (!onWindows9x) {
        perPrompt = LoadSystemVerifier();
        verify = perPrompt.verify;
        present = perPrompt.present;
    }
    if (verify == nullptr) {
        // Only an absent verifier lets the run close; one that cannot answer refuses.
        return !present;
    }
    bool accepted = false;
    {
        const PromptRaised up(promptUp);
        surroundings.BeforePrompt();
        const CursorShownForPrompt cursor;
        accepted = verify(window) != FALSE;
    }
    surroundings.AfterPrompt(accepted);
    return accepted;
}

CrashGuardWatch::CrashGuardWatch(RunningFlag& flag) : outer_(guardedFlag) {
    guardedFlag = &flag;
}

CrashGuardWatch::~CrashGuardWatch() {
    guardedFlag = outer_;
}

LONG WINAPI SaverCrashGuard(EXCEPTION_POINTERS*) {
    // Never hands the exception on: the system's own handler would call this filter again.
    static LONG entered = 0;
    if (InterlockedExchange(&entered, 1) == 0) {
        AddVectoredExceptionHandler(1, EndOnFaultInsideGuard);
        if (guardedFlag != nullptr) {
            guardedFlag->Set(false);
        }
    }
    ExitProcess(static_cast<UINT>(kGuardExitCode));
}

}  // namespace korvane
