// Stands in for the platform's password verifier. Answers from KORVANE_TEST_PASSWORD_ANSWER
// ("1" accepts, anything else refuses) and appends a line per request to the file named by
// KORVANE_TEST_PASSWORD_LOG, so the test can count how often the saver asked.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND) {
    if (const char* logPath = std::getenv("KORVANE_TEST_PASSWORD_LOG")) {
        if (FILE* log = std::fopen(logPath, "a")) {
            std::fputs("asked\n", log);
            std::fclose(log);
        }
    }
    const char* answer = std::getenv("KORVANE_TEST_PASSWORD_ANSWER");
    return answer != nullptr && answer[0] == '1';
}
