// A PASSWORD.CPL that loads but has no VerifyScreenSavePwd: a verifier that is there and cannot
// answer. Its one export keeps it a library with an export table.
#include <windows.h>

extern "C" __declspec(dllexport) BOOL WINAPI KorvaneStandInWithoutEntry() {
    return TRUE;
}
