// Stands in for ddraw.dll when a test loads it with WINEDLLOVERRIDES=ddraw=n from the saver's
// folder. Each call of DirectDrawCreate appends a line to the file named by
// KORVANE_TEST_DDRAW_LOG. With KORVANE_TEST_DDRAW=crash it then takes an access violation, as
// a broken driver would; otherwise it answers that there is no DirectDraw hardware.
#include <windows.h>

#include <ddraw.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" __declspec(dllexport) HRESULT WINAPI
    DirectDrawCreate(GUID*, IDirectDraw** directDraw, IUnknown*) {
    if (const char* logPath = std::getenv("KORVANE_TEST_DDRAW_LOG")) {
        if (FILE* log = std::fopen(logPath, "a")) {
            std::fputs("DirectDrawCreate\n", log);
            std::fclose(log);
        }
    }
    const char* mode = std::getenv("KORVANE_TEST_DDRAW");
    if (mode != nullptr && std::strcmp(mode, "crash") == 0) {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
    }
    if (directDraw != nullptr) {
        *directDraw = nullptr;
    }
    return DDERR_NODIRECTDRAWHW;
}
