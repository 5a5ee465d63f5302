#pragma once

#include "settings/settings_store.h"

namespace korvane {

// The options key of the current user in the registry.
class RegistrySettingsStore : public SettingsStore {
  public:
    std::unique_ptr<SettingsKey> OpenExisting() override;
    std::unique_ptr<SettingsKey> CreateOrOpen() override;
};

// The saver's and the dialog's way in: the record against the real registry.
bool LoadSettings(ShowSettings& settings);
[[nodiscard]] bool SaveSettings(const ShowSettings& settings);

}  // namespace korvane
