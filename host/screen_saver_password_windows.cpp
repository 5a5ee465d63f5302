#include "host/screen_saver_password_windows.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "host/password_flag.h"
#include "win32/system_library_windows.h"

namespace korvane {
namespace {

constexpr char kDesktopKey[] = "Control Panel\\Desktop";
constexpr char kUsePasswordValue[] = "ScreenSaveUsePassword";
constexpr char kVerifierName[] = "PASSWORD.CPL";
constexpr char kVerifierEntry[] = "VerifyScreenSavePwd";

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

std::optional<bool> ReadPasswordRequired(HKEY root) {
    ScopedRegistryKey desktop;
    const LONG opened = RegOpenKeyExA(root, kDesktopKey, 0, KEY_QUERY_VALUE, desktop.Receive());
    if (opened == ERROR_FILE_NOT_FOUND) {
        return std::nullopt;
    }
    if (opened != ERROR_SUCCESS) {
        return true;  // a key we cannot read is not taken to say "no password"
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

VerifierLibrary LoadSystemVerifier() {
    SystemLibrary loaded = LoadSystemLibrary(kVerifierName);
    VerifierLibrary verifier;
    verifier.present = loaded.present;
    verifier.verify = loaded.library.Find<VerifyPasswordProc>(kVerifierEntry);
    verifier.library = std::move(loaded.library);
    return verifier;
}

}  // namespace korvane
