#include <windows.h>

#include "host/saver_start_windows.h"

// The entry hands over at once; the mode that runs owns everything it keeps.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    korvane::StartFromCommandLine(instance);
}
