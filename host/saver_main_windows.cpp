#include <windows.h>

#include "host/saver_host_windows.h"

// The entry hands over at once; the host record lives until the process ends.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    static korvane::SaverHost host;
    host.framework.saverInstance = GetModuleHandleA(nullptr);
    korvane::SetActiveSaverHost(&host);
    korvane::StartFromCommandLine();
}
