#include "host/running_saver_windows.h"

#include <tlhelp32.h>

#include "win32/scoped_handles_windows.h"

namespace korvane {
namespace {

using QueryImageNameProc = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
constexpr DWORD kQueryLimitedInformation = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION
// More windows of our class than any session holds.
constexpr int kMostCandidates = 64;

// Windows Vista on: the process's image by name, with the least access there is.
bool ImagePathByQuery(DWORD process, char (&path)[MAX_PATH]) {
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    const auto query = kernel == nullptr
                           ? nullptr
                           : reinterpret_cast<QueryImageNameProc>(reinterpret_cast<void*>(
                                 GetProcAddress(kernel, "QueryFullProcessImageNameA")));
    if (query == nullptr) {
        return false;
    }
    const KernelHandle handle(OpenProcess(kQueryLimitedInformation, FALSE, process));
    DWORD size = MAX_PATH;
    return handle && query(handle.get(), 0, path, &size) && size > 0;
}

// Earlier systems: the first module of the process's snapshot is its image.
bool ImagePathBySnapshot(DWORD process, char (&path)[MAX_PATH]) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return false;
    }
    const KernelHandle owned(snapshot);
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    if (!Module32First(snapshot, &module)) {
        return false;
    }
    lstrcpynA(path, module.szExePath, MAX_PATH);
    return path[0] != '\0';
}

}  // namespace

std::optional<FileIdentity> IdentifyFile(const char* path) {
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const KernelHandle owned(file);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file, &information)) {
        return std::nullopt;
    }
    return FileIdentity{information.dwVolumeSerialNumber, information.nFileIndexHigh,
                        information.nFileIndexLow};
}

std::optional<FileIdentity> IdentifyProcessImage(DWORD process) {
    char path[MAX_PATH] = "";
    if (!ImagePathByQuery(process, path) && !ImagePathBySnapshot(process, path)) {
        return std::nullopt;
    }
    return IdentifyFile(path);
}

HWND FindRunningSaverOfThisProgram(const char* windowClass, const char* title) {
    char ownPath[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, ownPath, MAX_PATH);
    const std::optional<FileIdentity> ours =
        length > 0 && length < MAX_PATH ? IdentifyFile(ownPath) : std::nullopt;
    if (!ours) {
        return nullptr;  // without our own identity nothing can be shown to be ours
    }
    HWND candidate = nullptr;
    for (int i = 0; i < kMostCandidates; ++i) {
        candidate = FindWindowExA(nullptr, candidate, windowClass, title);
        if (candidate == nullptr) {
            return nullptr;
        }
        if (!IsWindowVisible(candidate) ||
            (GetWindowLongPtrA(candidate, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0) {
            continue;
        }
        DWORD process = 0;
        GetWindowThreadProcessId(candidate, &process);
        if (IdentifyProcessImage(process) == ours) {
            return candidate;
        }
    }
    return nullptr;
}

}  // namespace korvane
