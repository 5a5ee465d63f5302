#include "settings/settings_store.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace korvane {
namespace {

// A flag that is missing or not a 4-byte DWORD stays on, the default of every flag.
bool ReadFlag(SettingsKey& key, const char* name) {
    std::array<unsigned char, 4> raw{};
    const StoredValueRead read = key.Read(name, raw);
    if (!read.ok || read.type != StoredType::kDword || read.size != raw.size()) {
        return true;
    }
    std::uint32_t value = 0;
    std::memcpy(&value, raw.data(), sizeof value);
    return value != 0;
}

// Reads a text into a buffer of the record's size. The stored data may or may not end with
// a zero; data that fills the whole buffer without one leaves no room for it and is refused.
template <std::size_t Capacity>
std::optional<std::array<char, Capacity>> ReadText(SettingsKey& key, const char* name) {
    std::array<unsigned char, Capacity> raw{};
    const StoredValueRead read = key.Read(name, raw);
    if (!read.ok || read.type != StoredType::kText || read.size > raw.size()) {
        return std::nullopt;
    }
    const auto end = raw.begin() + static_cast<std::ptrdiff_t>(read.size);
    const auto zero = std::find(raw.begin(), end, 0);
    if (zero == raw.end()) {
        return std::nullopt;
    }
    std::array<char, Capacity> text{};
    std::copy(raw.begin(), zero, text.begin());
    return text;
}

std::size_t TextLength(std::span<const char> buffer) {
    // A record without a terminator still writes no more than its buffer minus one.
    const auto limit = buffer.begin() + static_cast<std::ptrdiff_t>(buffer.size() - 1);
    return static_cast<std::size_t>(std::find(buffer.begin(), limit, '\0') - buffer.begin());
}

}  // namespace

bool LoadSettings(ShowSettings& settings, SettingsStore& store) {
    const std::unique_ptr<SettingsKey> key = store.OpenExisting();
    if (key) {
        settings.soundEnabled = ReadFlag(*key, "SFX");
        settings.titleEnabled = ReadFlag(*key, "TITLE");
        settings.phoneEnabled = ReadFlag(*key, "PHONE");
        settings.messageEnabled = ReadFlag(*key, "MESSAGE");
        settings.codeEnabled = ReadFlag(*key, "CODE");
        auto message = ReadText<ShowSettings::kMessageCapacity>(*key, "TEXT");
        if (message) {
            auto number = ReadText<ShowSettings::kPhoneCapacity>(*key, "TELNO");
            if (number) {
                settings.messageText = *message;
                settings.phoneNumber = *number;
                return true;
            }
        }
    }
    SetDefaultSettings(settings);
    return false;
}

void SaveSettings(const ShowSettings& settings, SettingsStore& store) {
    const std::unique_ptr<SettingsKey> key = store.CreateOrOpen();
    if (!key) {
        return;
    }
    key->WriteDword("TITLE", settings.titleEnabled ? 1 : 0);
    key->WriteDword("PHONE", settings.phoneEnabled ? 1 : 0);
    key->WriteDword("MESSAGE", settings.messageEnabled ? 1 : 0);
    key->WriteDword("CODE", settings.codeEnabled ? 1 : 0);
    key->WriteDword("FACE", settings.faceEnabled ? 1 : 0);
    key->WriteDword("SFX", settings.soundEnabled ? 1 : 0);
    key->WriteText("TEXT",
                   std::string_view(settings.messageText.data(), TextLength(settings.messageText)));
    key->WriteText("TELNO",
                   std::string_view(settings.phoneNumber.data(), TextLength(settings.phoneNumber)));
}

}  // namespace korvane
