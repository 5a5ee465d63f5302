#include "host/screen_saver_password_windows.h"

#include <cstdint>
#include <string>
#include <vector>

#include "host/password_flag.h"
#include "win32/scoped_handles_windows.h"

namespace korvane {
namespace {

constexpr char kDesktopKey[] = "Control Panel\\Desktop";
constexpr char kUsePasswordValue[] = "ScreenSaveUsePassword";
constexpr char kVerifierName[] = "PASSWORD.CPL";

StoredValueType TypeOf(DWORD registryType) {
    switch (registryType) {
        case REG_DWORD:
            return StoredValueType::kDword;
        case REG_SZ:
            return StoredValueType::kString;
        case REG_BINARY:
            return StoredValueType::kBinary;
        default:
            return StoredValueType::kOther;
    }
}

}  // namespace

std::optional<bool> ReadPasswordRequired() {
    ScopedRegistryKey desktop;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_QUERY_VALUE, desktop.Receive()) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG status =
        RegQueryValueExA(desktop.get(), kUsePasswordValue, nullptr, &type, nullptr, &size);
    std::optional<bool> required;
    if (status == ERROR_SUCCESS) {
        std::vector<uint8_t> data(size);
        status =
            RegQueryValueExA(desktop.get(), kUsePasswordValue, nullptr, &type, data.data(), &size);
        // A value that changes under us between the two reads is not trusted to say "no".
        required = status != ERROR_SUCCESS ||
                   PasswordRequiredByStoredValue(TypeOf(type), data.data(), size);
    } else if (status != ERROR_FILE_NOT_FOUND) {
        required = true;
    }
    return required;
}

LoadedLibrary LoadSystemVerifierLibrary() {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return LoadedLibrary();
    }
    std::string path(folder, length);
    path += '\\';
    path += kVerifierName;
    // The altered search path makes the verifier's own imports resolve from its folder too.
    return LoadedLibrary(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace korvane
