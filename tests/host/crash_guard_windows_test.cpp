// The exception guard: whatever crashes, the running flag is taken back once and the process
// ends with -1. Each case runs in a child process of its own.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

#include "host/password_gate_windows.h"

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
    static RunningFlag flag;
    flag.onWindows9x = true;
    flag.ownsFullScreenRun = true;
    flag.announce = announce;
    const CrashGuardWatch watch(flag);
    flag.Set(true);
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
