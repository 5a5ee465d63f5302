// Stands in for the platform's password verifier. It appends a line per request to the file
// named by KORVANE_TEST_PASSWORD_LOG, so the test can count how often the saver asked, and
// answers from the first character of the file named by KORVANE_TEST_PASSWORD_ANSWER_FILE (the
// test can change it while the saver runs) or else of KORVANE_TEST_PASSWORD_ANSWER: '1' accepts,
// anything else refuses.
// Like the real dialog it can take its time: KORVANE_TEST_PASSWORD_WAIT_MS keeps it pumping the
// thread's messages that long, so the test can send input meanwhile; with
// KORVANE_TEST_PASSWORD_PROVOKE=1 it also tells its owner that it lost activation and asks it to
// close, as a user switching away would.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool Accepts() {
    if (const char* path = std::getenv("KORVANE_TEST_PASSWORD_ANSWER_FILE")) {
        if (FILE* file = std::fopen(path, "r")) {
            const int first = std::fgetc(file);
            std::fclose(file);
            return first == '1';
        }
    }
    const char* answer = std::getenv("KORVANE_TEST_PASSWORD_ANSWER");
    return answer != nullptr && answer[0] == '1';
}

void Log(const char* line) {
    if (const char* logPath = std::getenv("KORVANE_TEST_PASSWORD_LOG")) {
        if (FILE* log = std::fopen(logPath, "a")) {
            std::fputs(line, log);
            std::fclose(log);
        }
    }
}

void TakeTime(HWND owner) {
    const char* wait = std::getenv("KORVANE_TEST_PASSWORD_WAIT_MS");
    const DWORD milliseconds = wait != nullptr ? static_cast<DWORD>(std::atoi(wait)) : 0;
    const char* provoke = std::getenv("KORVANE_TEST_PASSWORD_PROVOKE");
    if (provoke != nullptr && provoke[0] == '1' && owner != nullptr) {
        SendMessageA(owner, WM_ACTIVATEAPP, FALSE, 0);
        PostMessageA(owner, WM_CLOSE, 0, 0);
    }
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND owner) {
    Log("asked\n");
    TakeTime(owner);
    const bool accepted = Accepts();
    Log(accepted ? "accepted\n" : "refused\n");
    return accepted;
}
