#include "settings/registry_settings_store_windows.h"

#include <windows.h>

#include "win32/scoped_handles_windows.h"

namespace korvane {
namespace {

StoredType StoredTypeOf(DWORD registryType) {
    switch (registryType) {
        case REG_DWORD:
            return StoredType::kDword;
        case REG_SZ:
            return StoredType::kText;
        default:
            return StoredType::kOther;
    }
}

class RegistrySettingsKey : public SettingsKey {
  public:
    explicit RegistrySettingsKey(HKEY key) : key_(key) {}

    StoredValueRead Read(const char* name, std::span<unsigned char> buffer) override {
        DWORD type = REG_NONE;
        DWORD size = static_cast<DWORD>(buffer.size());
        const LONG result =
            RegQueryValueExA(key_.get(), name, nullptr, &type, buffer.data(), &size);
        StoredValueRead read;
        read.ok = result == ERROR_SUCCESS && size <= buffer.size();
        read.type = StoredTypeOf(type);
        read.size = size;
        return read;
    }

    bool WriteDword(const char* name, std::uint32_t value) override {
        const DWORD data = value;
        return RegSetValueExA(key_.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                              sizeof data) == ERROR_SUCCESS;
    }

    bool WriteText(const char* name, std::string_view text) override {
        return RegSetValueExA(key_.get(), name, 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(text.data()),
                              static_cast<DWORD>(text.size())) == ERROR_SUCCESS;
    }

  private:
    ScopedRegistryKey key_;
};

}  // namespace

std::unique_ptr<SettingsKey> RegistrySettingsStore::OpenExisting() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<RegistrySettingsKey>(key);
}

std::unique_ptr<SettingsKey> RegistrySettingsStore::CreateOrOpen() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<RegistrySettingsKey>(key);
}

bool LoadSettings(ShowSettings& settings) {
    RegistrySettingsStore store;
    return LoadSettings(settings, store);
}

bool SaveSettings(const ShowSettings& settings) {
    RegistrySettingsStore store;
    return SaveSettings(settings, store);
}

}  // namespace korvane
