#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "settings/show_settings.h"

namespace korvane {

// Where the options persist: the current user's registry key on Windows, memory elsewhere.
inline constexpr char kSettingsKeyPath[] = "Software\\Orvandel\\Korvane Screensaver";

// The stored types the settings use; anything else a key may hold is kOther.
enum class StoredType { kDword, kText, kOther };

// What one read answered. `ok` is false for a missing value or one larger than the buffer;
// `size` is the number of bytes placed in the buffer.
struct StoredValueRead {
    bool ok = false;
    StoredType type = StoredType::kOther;
    std::size_t size = 0;
};

// An open settings key; closing happens when it goes away.
class SettingsKey {
  public:
    virtual ~SettingsKey() = default;
    virtual StoredValueRead Read(const char* name, std::span<unsigned char> buffer) = 0;
    // Each write answers whether the value is now stored.
    virtual bool WriteDword(const char* name, std::uint32_t value) = 0;
    // Writes exactly the characters given, without a terminating zero.
    virtual bool WriteText(const char* name, std::string_view text) = 0;
};

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // Null when the key does not exist or cannot be opened.
    virtual std::unique_ptr<SettingsKey> OpenExisting() = 0;
    // Null when the key can neither be opened nor created.
    virtual std::unique_ptr<SettingsKey> CreateOrOpen() = 0;
};

// Reads the flags, the message, the number and the glyph size. True when both texts came from
// the store; otherwise the record holds the defaults and the result is false. A glyph size
// that is missing or out of range reads as automatic and leaves the rest as loaded.
bool LoadSettings(ShowSettings& settings, SettingsStore& store);

// Writes all nine values, the glyph size (SCALE) after the number; a key that cannot be created
// stores nothing. False when the key could not be created or any value was not stored, so the
// caller can say so.
[[nodiscard]] bool SaveSettings(const ShowSettings& settings, SettingsStore& store);

}  // namespace korvane
