// Loads the settings from a store holding fuzzed values: any of the names, any stored type,
// any size from empty to twice the message's room. Whatever is stored, the record afterwards
// is either wholly the defaults or wholly what the store held, with both texts terminated
// inside their arrays; and a record that was loaded comes back unchanged through a save.
//
// Input: a byte whose low bit says whether the key exists, then values of
// [name][type][size, two bytes little-endian][data].
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>

#include "settings/memory_settings_store.h"
#include "settings/settings_store.h"
#include "settings/show_settings.h"

namespace korvane {
namespace {

constexpr const char* kNames[] = {"SFX",  "TITLE", "PHONE", "MESSAGE", "CODE",
                                  "FACE", "TEXT",  "TELNO", "OTHER",   "SCALE"};
constexpr std::size_t kMaxValueSize = 2 * ShowSettings::kMessageCapacity;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// What a flag must read as: on unless a 4-byte DWORD says 0.
bool ExpectedFlag(const MemorySettingsStore& store, const char* name) {
    const auto found = store.values.find(name);
    if (found == store.values.end() || found->second.type != StoredType::kDword ||
        found->second.data.size() != 4) {
        return true;
    }
    return std::any_of(found->second.data.begin(), found->second.data.end(),
                       [](unsigned char b) { return b != 0; });
}

// What the glyph size must read as: automatic unless a 4-byte DWORD holds 0 to 4.
int32_t ExpectedGlyphScale(const MemorySettingsStore& store) {
    const auto found = store.values.find("SCALE");
    if (found == store.values.end() || found->second.type != StoredType::kDword ||
        found->second.data.size() != 4) {
        return kAutomaticGlyphScale;
    }
    uint32_t value = 0;
    std::memcpy(&value, found->second.data.data(), sizeof value);
    return value <= 4 ? static_cast<int32_t>(value) : kAutomaticGlyphScale;
}

// The stored text up to its first zero, when it fits the array with its terminator.
template <std::size_t Capacity>
bool StoredTextFits(const MemorySettingsStore& store, const char* name) {
    const auto found = store.values.find(name);
    if (found == store.values.end() || found->second.type != StoredType::kText) {
        return false;
    }
    const auto& data = found->second.data;
    const auto zero = std::find(data.begin(), data.end(), 0);
    return static_cast<std::size_t>(zero - data.begin()) < Capacity && data.size() <= Capacity;
}

template <std::size_t Capacity>
bool TextMatchesStore(const std::array<char, Capacity>& text, const MemorySettingsStore& store,
                      const char* name) {
    const auto& data = store.values.find(name)->second.data;
    const std::size_t length = std::strlen(text.data());
    const auto* chars = reinterpret_cast<const unsigned char*>(text.data());
    return std::equal(data.begin(), std::find(data.begin(), data.end(), 0), chars, chars + length);
}

template <std::size_t Capacity>
bool Terminated(const std::array<char, Capacity>& text) {
    return std::find(text.begin(), text.end(), '\0') != text.end();
}

bool SameLoadedFields(const ShowSettings& a, const ShowSettings& b) {
    return a.soundEnabled == b.soundEnabled && a.titleEnabled == b.titleEnabled &&
           a.phoneEnabled == b.phoneEnabled && a.messageEnabled == b.messageEnabled &&
           a.codeEnabled == b.codeEnabled && a.messageText == b.messageText &&
           a.phoneNumber == b.phoneNumber && a.glyphScale == b.glyphScale;
}

}  // namespace
}  // namespace korvane

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace korvane;
    if (size < 1) {
        return 0;
    }
    MemorySettingsStore store;
    std::size_t at = 1;
    while (at + 4 <= size) {
        const char* name = kNames[data[at] % std::size(kNames)];
        const auto type = static_cast<StoredType>(data[at + 1] % 3);
        const std::size_t wanted = (data[at + 2] | data[at + 3] << 8) % (kMaxValueSize + 1);
        at += 4;
        const std::size_t length = std::min(wanted, size - at);
        store.PutRaw(name, type, std::vector<unsigned char>(data + at, data + at + length));
        at += length;
    }
    store.keyExists = (data[0] & 1) != 0;

    // Whatever the record held before must not show through.
    ShowSettings settings;
    settings.messageText.fill('x');
    settings.phoneNumber.fill('9');
    settings.soundEnabled = settings.titleEnabled = settings.phoneEnabled = false;
    settings.messageEnabled = settings.codeEnabled = false;
    settings.glyphScale = -7;
    const bool loaded = LoadSettings(settings, store);

    if (!Terminated(settings.messageText) || !Terminated(settings.phoneNumber)) {
        Fail("a text was left without its terminator");
    }
    const bool textsFit = store.keyExists &&
                          StoredTextFits<ShowSettings::kMessageCapacity>(store, "TEXT") &&
                          StoredTextFits<ShowSettings::kPhoneCapacity>(store, "TELNO");
    if (loaded != textsFit) {
        Fail("the load's answer does not match the stored texts");
    }
    if (!loaded) {
        ShowSettings defaults;
        SetDefaultSettings(defaults);
        if (!SameLoadedFields(settings, defaults) || settings.faceEnabled != defaults.faceEnabled) {
            Fail("a failed load left something other than the defaults");
        }
        return 0;
    }
    if (settings.soundEnabled != ExpectedFlag(store, "SFX") ||
        settings.titleEnabled != ExpectedFlag(store, "TITLE") ||
        settings.phoneEnabled != ExpectedFlag(store, "PHONE") ||
        settings.messageEnabled != ExpectedFlag(store, "MESSAGE") ||
        settings.codeEnabled != ExpectedFlag(store, "CODE")) {
        Fail("a flag does not read as stored");
    }
    if (settings.glyphScale != ExpectedGlyphScale(store)) {
        Fail("the glyph size does not read as stored");
    }
    if (!TextMatchesStore(settings.messageText, store, "TEXT") ||
        !TextMatchesStore(settings.phoneNumber, store, "TELNO")) {
        Fail("a text does not read as stored");
    }

    MemorySettingsStore saved;
    if (!SaveSettings(settings, saved)) {
        Fail("a memory key refused a save");
    }
    ShowSettings reloaded;
    if (!LoadSettings(reloaded, saved) || !SameLoadedFields(settings, reloaded)) {
        Fail("a loaded record did not survive a save and a load");
    }
    return 0;
}
