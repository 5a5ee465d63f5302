// The exception guard: whatever crashes, the running flag is taken back once and the process
// ends with -1. Each case runs in a child process of its own.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

#include "host/saver_host_windows.h"

namespace korvane {
namespace {

void Crash() {
    volatile int* nowhere = nullptr;
    *nowhere = 1;
}

void ReportCleared(bool on) {
    std::fprintf(stderr, "running flag %s\n", on ? "set" : "cleared");
    std::fflush(stderr);
}

// The flag's own seam crashes while the guard clears it: the guard must not run twice.
void ReportClearedThenCrash(bool on) {
    ReportCleared(on);
    if (!on) {
        Crash();
    }
}

[[noreturn]] void RunLockedAndCrash(void (*announce)(bool)) {
    static SaverHost host;
    host.framework.onWindows9x = true;
    host.framework.ownsFullScreenRun = true;
    host.framework.announceRunning = announce;
    SetActiveSaverHost(&host);
    SetSaverRunning(true);
    SetUnhandledExceptionFilter(SaverCrashGuard);
    Crash();
    std::fprintf(stderr, "survived\n");
    std::exit(0);
}

TEST(SaverCrashGuardDeathTest, AnAccessViolationClearsTheFlagAndEndsWithMinusOne) {
    EXPECT_EXIT(RunLockedAndCrash(&ReportCleared), ::testing::ExitedWithCode(-1),
                "running flag set\nrunning flag cleared\n$");
}

TEST(SaverCrashGuardDeathTest, ACrashInsideTheGuardStillEndsOnceWithMinusOne) {
    EXPECT_EXIT(RunLockedAndCrash(&ReportClearedThenCrash), ::testing::ExitedWithCode(-1),
                "running flag set\nrunning flag cleared\n$");
}

}  // namespace
}  // namespace korvane
