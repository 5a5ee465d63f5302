#include "settings/settings_store.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace korvane {
namespace {

// The names of the stored values; the load and the save spell them only here.
constexpr char kTitleValue[] = "TITLE";
constexpr char kPhoneValue[] = "PHONE";
constexpr char kMessageValue[] = "MESSAGE";
constexpr char kCodeValue[] = "CODE";
constexpr char kFaceValue[] = "FACE";
constexpr char kSoundValue[] = "SFX";
constexpr char kMessageTextValue[] = "TEXT";
constexpr char kPhoneNumberValue[] = "TELNO";
constexpr char kGlyphScaleValue[] = "SCALE";

std::optional<std::uint32_t> ReadDword(SettingsKey& key, const char* name) {
    std::array<unsigned char, 4> raw{};
    const StoredValueRead read = key.Read(name, raw);
    if (!read.ok || read.type != StoredType::kDword || read.size != raw.size()) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    std::memcpy(&value, raw.data(), sizeof value);
    return value;
}

// A flag that is missing or not a 4-byte DWORD stays on, the default of every flag.
bool ReadFlag(SettingsKey& key, const char* name) {
    return ReadDword(key, name).value_or(1) != 0;
}

// A glyph size that is missing, mistyped or out of range is automatic.
int32_t ReadGlyphScale(SettingsKey& key) {
    const std::optional<std::uint32_t> value = ReadDword(key, kGlyphScaleValue);
    return value && *value <= static_cast<std::uint32_t>(kLargestGlyphScale)
               ? static_cast<int32_t>(*value)
               : kAutomaticGlyphScale;
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
        settings.soundEnabled = ReadFlag(*key, kSoundValue);
        settings.titleEnabled = ReadFlag(*key, kTitleValue);
        settings.phoneEnabled = ReadFlag(*key, kPhoneValue);
        settings.messageEnabled = ReadFlag(*key, kMessageValue);
        settings.codeEnabled = ReadFlag(*key, kCodeValue);
        // Never a reason for the defaults: keys saved before the glyph size lack it.
        settings.glyphScale = ReadGlyphScale(*key);
        auto message = ReadText<ShowSettings::kMessageCapacity>(*key, kMessageTextValue);
        if (message) {
            auto number = ReadText<ShowSettings::kPhoneCapacity>(*key, kPhoneNumberValue);
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

bool SaveSettings(const ShowSettings& settings, SettingsStore& store) {
    const std::unique_ptr<SettingsKey> key = store.CreateOrOpen();
    if (!key) {
        return false;
    }
    // Every value is attempted even after one fails, so as much as can be stored is.
    bool stored = true;
    const auto flag = [&](const char* name, bool on) {
        stored = key->WriteDword(name, on ? 1 : 0) && stored;
    };
    flag(kTitleValue, settings.titleEnabled);
    flag(kPhoneValue, settings.phoneEnabled);
    flag(kMessageValue, settings.messageEnabled);
    flag(kCodeValue, settings.codeEnabled);
    flag(kFaceValue, settings.faceEnabled);
    flag(kSoundValue, settings.soundEnabled);
    const auto text = [&](const char* name, std::span<const char> buffer) {
        stored =
            key->WriteText(name, std::string_view(buffer.data(), TextLength(buffer))) && stored;
    };
    text(kMessageTextValue, settings.messageText);
    text(kPhoneNumberValue, settings.phoneNumber);
    const bool knownScale =
        settings.glyphScale >= kAutomaticGlyphScale && settings.glyphScale <= kLargestGlyphScale;
    stored = key->WriteDword(kGlyphScaleValue,
                             static_cast<std::uint32_t>(knownScale ? settings.glyphScale
                                                                   : kAutomaticGlyphScale)) &&
             stored;
    return stored;
}

}  // namespace korvane
