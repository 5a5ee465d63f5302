#include <windows.h>

// Entry point of the saver. For now it starts and ends cleanly; the modes come with the host.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ExitProcess(0);
}
