#include <windows.h>

// Entry point while the show is not yet in the tree: starts and ends cleanly.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ExitProcess(0);
}
