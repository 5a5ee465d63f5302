#include "win32/system_library_windows.h"

#include <string>

namespace korvane {
namespace {

bool FileIsAbsent(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

SystemLibrary LoadSystemLibrary(const char* name) {
    SystemLibrary loaded;
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        loaded.present = true;
        return loaded;
    }
    std::string path(folder, length);
    path += '\\';
    path += name;
    // A file that is no library must not stop the saver with a system error box.
    const UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // The altered search path makes the library's own imports resolve from its folder too.
    loaded.library =
        LoadedLibrary(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    SetErrorMode(errorMode);
    loaded.present = loaded.library || !FileIsAbsent(path);
    return loaded;
}

}  // namespace korvane
