#include "settings/settings_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "settings/memory_settings_store.h"

namespace korvane {
namespace {

using ::testing::ElementsAre;

std::string Text(const auto& buffer) {
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

// A record that differs from the defaults in every field.
ShowSettings OddSettings() {
    ShowSettings settings;
    SetDefaultSettings(settings);
    settings.titleEnabled = false;
    settings.phoneEnabled = true;
    settings.messageEnabled = false;
    settings.codeEnabled = true;
    settings.soundEnabled = false;
    std::strcpy(settings.messageText.data(), "Hi");
    std::strcpy(settings.phoneNumber.data(), "0123456789");
    settings.glyphScale = 3;
    return settings;
}

void ExpectDefaults(const ShowSettings& settings) {
    ShowSettings defaults;
    SetDefaultSettings(defaults);
    EXPECT_TRUE(settings.titleEnabled && settings.phoneEnabled && settings.messageEnabled &&
                settings.codeEnabled && settings.faceEnabled && settings.soundEnabled);
    EXPECT_EQ(Text(settings.messageText), Text(defaults.messageText));
    EXPECT_EQ(Text(settings.phoneNumber), "3525550690");
    EXPECT_EQ(settings.glyphScale, kAutomaticGlyphScale);
}

// A store holding what SaveSettings writes for `settings`.
MemorySettingsStore SavedStore(const ShowSettings& settings) {
    MemorySettingsStore store;
    EXPECT_TRUE(SaveSettings(settings, store));
    return store;
}

TEST(SettingsStore, FirstRunWithoutKeyLoadsDefaults) {
    MemorySettingsStore store;
    ShowSettings settings = OddSettings();
    EXPECT_FALSE(LoadSettings(settings, store));
    ExpectDefaults(settings);
    EXPECT_FALSE(store.keyExists);  // loading never creates the key
}

TEST(SettingsStore, SaveWritesNineValuesInOrderWithoutTerminators) {
    MemorySettingsStore store = SavedStore(OddSettings());
    EXPECT_THAT(store.writeOrder, ElementsAre("TITLE", "PHONE", "MESSAGE", "CODE", "FACE", "SFX",
                                              "TEXT", "TELNO", "SCALE"));
    const auto dword = [&](const char* name) {
        const auto& value = store.values.at(name);
        EXPECT_EQ(value.type, StoredType::kDword) << name;
        EXPECT_EQ(value.data.size(), 4u) << name;
        std::uint32_t v = 0;
        std::memcpy(&v, value.data.data(), 4);
        return v;
    };
    EXPECT_EQ(dword("TITLE"), 0u);
    EXPECT_EQ(dword("PHONE"), 1u);
    EXPECT_EQ(dword("MESSAGE"), 0u);
    EXPECT_EQ(dword("CODE"), 1u);
    EXPECT_EQ(dword("FACE"), 1u);
    EXPECT_EQ(dword("SFX"), 0u);
    EXPECT_EQ(dword("SCALE"), 3u);
    EXPECT_EQ(store.values.at("TEXT").type, StoredType::kText);
    EXPECT_EQ(store.values.at("TEXT").data, (std::vector<unsigned char>{'H', 'i'}));
    EXPECT_EQ(store.values.at("TELNO").data.size(), 10u);
}

TEST(SettingsStore, SavedRecordLoadsBackUnchangedExceptFace) {
    ShowSettings saved = OddSettings();
    saved.faceEnabled = false;
    MemorySettingsStore store = SavedStore(saved);
    ShowSettings loaded;
    SetDefaultSettings(loaded);
    ASSERT_TRUE(LoadSettings(loaded, store));
    EXPECT_FALSE(loaded.titleEnabled);
    EXPECT_TRUE(loaded.phoneEnabled);
    EXPECT_FALSE(loaded.messageEnabled);
    EXPECT_TRUE(loaded.codeEnabled);
    EXPECT_FALSE(loaded.soundEnabled);
    EXPECT_TRUE(loaded.faceEnabled);  // never read back
    EXPECT_EQ(Text(loaded.messageText), "Hi");
    EXPECT_EQ(Text(loaded.phoneNumber), "0123456789");
    EXPECT_EQ(loaded.glyphScale, 3);
}

TEST(SettingsStore, EveryGlyphSizeRoundTripsAndAnUnknownOneSavesAsAutomatic) {
    for (const int32_t size : {0, 1, 2, 3, 4, 5, -1}) {
        ShowSettings saved = OddSettings();
        saved.glyphScale = size;
        MemorySettingsStore store = SavedStore(saved);
        ShowSettings loaded = OddSettings();
        ASSERT_TRUE(LoadSettings(loaded, store)) << size;
        EXPECT_EQ(loaded.glyphScale, size >= 0 && size <= 4 ? size : kAutomaticGlyphScale) << size;
    }
}

// Keys saved before the glyph size existed, and sizes spoilt in any way, load everything else
// as stored: the glyph size alone is never a reason for the defaults.
TEST(SettingsStore, MissingOrUnreadableGlyphSizeIsAutomaticAndTheRestLoads) {
    const std::vector<std::pair<StoredType, std::vector<unsigned char>>> spoilt = {
        {StoredType::kDword, {5, 0, 0, 0}}, {StoredType::kDword, {0xFF, 0xFF, 0xFF, 0xFF}},
        {StoredType::kDword, {2, 0}},       {StoredType::kDword, {2, 0, 0, 0, 0, 0, 0, 0}},
        {StoredType::kText, {'2', 0}},      {StoredType::kOther, {2, 0, 0, 0}},
    };
    for (std::size_t i = 0; i <= spoilt.size(); ++i) {
        SCOPED_TRACE("spoilt in way " + std::to_string(i));
        MemorySettingsStore store = SavedStore(OddSettings());
        if (i < spoilt.size()) {
            store.PutRaw("SCALE", spoilt[i].first, spoilt[i].second);
        } else {
            store.values.erase("SCALE");
        }
        ShowSettings loaded = OddSettings();
        ASSERT_TRUE(LoadSettings(loaded, store));
        EXPECT_EQ(loaded.glyphScale, kAutomaticGlyphScale);
        EXPECT_FALSE(loaded.titleEnabled);
        EXPECT_EQ(Text(loaded.messageText), "Hi");
    }
}

TEST(SettingsStore, EmptyTextsLoadAsEmpty) {
    ShowSettings saved = OddSettings();
    saved.messageText.fill('\0');
    saved.phoneNumber.fill('\0');
    MemorySettingsStore store = SavedStore(saved);
    EXPECT_TRUE(store.values.at("TEXT").data.empty());
    ShowSettings loaded = OddSettings();
    ASSERT_TRUE(LoadSettings(loaded, store));
    EXPECT_EQ(Text(loaded.messageText), "");
    EXPECT_EQ(Text(loaded.phoneNumber), "");
}

TEST(SettingsStore, TextsWithTerminatorEndAtTheFirstZero) {
    MemorySettingsStore store = SavedStore(OddSettings());
    store.PutText("TEXT", std::string("ab\0cd", 5));
    store.PutText("TELNO", std::string("12\0", 3));
    ShowSettings loaded;
    ASSERT_TRUE(LoadSettings(loaded, store));
    EXPECT_EQ(Text(loaded.messageText), "ab");
    EXPECT_EQ(Text(loaded.phoneNumber), "12");
    EXPECT_EQ(loaded.phoneNumber[3], '\0');
}

TEST(SettingsStore, LongestTextsThatFitLoad) {
    MemorySettingsStore store = SavedStore(OddSettings());
    store.PutText("TEXT", std::string(1023, 'm'));
    store.PutText("TELNO", std::string(11, '7'));  // 11 characters fit a 12-byte buffer
    ShowSettings loaded;
    ASSERT_TRUE(LoadSettings(loaded, store));
    EXPECT_EQ(Text(loaded.messageText), std::string(1023, 'm'));
    EXPECT_EQ(loaded.messageText.back(), '\0');
    EXPECT_EQ(Text(loaded.phoneNumber), "77777777777");
    EXPECT_EQ(loaded.phoneNumber.back(), '\0');
}

TEST(SettingsStore, TextsWithoutRoomForTheTerminatorFallBackToDefaults) {
    const struct {
        const char* name;
        std::string data;
    } cases[] = {
        {"TEXT", std::string(1024, 'x')}, {"TEXT", std::string(1025, 'x')},
        {"TEXT", std::string(5000, 'x')}, {"TELNO", std::string(12, '1')},
        {"TELNO", std::string(13, '1')},  {"TELNO", std::string(12, '1') + '\0'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " of " + std::to_string(c.data.size()) + " bytes");
        MemorySettingsStore store = SavedStore(OddSettings());
        store.PutText(c.name, c.data);
        ShowSettings loaded = OddSettings();
        EXPECT_FALSE(LoadSettings(loaded, store));
        ExpectDefaults(loaded);
    }
}

TEST(SettingsStore, MissingOrMistypedTextFallsBackToDefaults) {
    for (const char* name : {"TEXT", "TELNO"}) {
        SCOPED_TRACE(name);
        MemorySettingsStore missing = SavedStore(OddSettings());
        missing.values.erase(name);
        MemorySettingsStore dword = SavedStore(OddSettings());
        dword.PutDword(name, 7);
        MemorySettingsStore binary = SavedStore(OddSettings());
        binary.PutRaw(name, StoredType::kOther, {'4', '2'});
        for (MemorySettingsStore* store : {&missing, &dword, &binary}) {
            ShowSettings loaded = OddSettings();
            EXPECT_FALSE(LoadSettings(loaded, *store));
            ExpectDefaults(loaded);
        }
    }
}

TEST(SettingsStore, KeyWithoutValuesFallsBackToDefaults) {
    MemorySettingsStore store;
    store.keyExists = true;
    ShowSettings loaded = OddSettings();
    EXPECT_FALSE(LoadSettings(loaded, store));
    ExpectDefaults(loaded);
}

TEST(SettingsStore, AnyNonZeroDwordIsOn) {
    for (std::uint32_t value : {0u, 1u, 2u, 256u, 0x80000000u, 0xFFFFFFFFu}) {
        MemorySettingsStore store = SavedStore(OddSettings());
        store.PutDword("CODE", value);
        ShowSettings loaded;
        ASSERT_TRUE(LoadSettings(loaded, store));
        EXPECT_EQ(loaded.codeEnabled, value != 0) << value;
    }
}

TEST(SettingsStore, UnreadableFlagIsOnWhileTheRestLoads) {
    // All flags stored off; then one of them spoiled in each way.
    ShowSettings off = OddSettings();
    off.titleEnabled = off.phoneEnabled = off.messageEnabled = off.codeEnabled = false;
    off.soundEnabled = false;
    const std::vector<std::pair<StoredType, std::vector<unsigned char>>> spoilt = {
        {StoredType::kDword, {}},
        {StoredType::kDword, {0, 0}},
        {StoredType::kDword, {0, 0, 0, 0, 0, 0, 0, 0}},
        {StoredType::kOther, {0, 0, 0, 0}},
        {StoredType::kText, {'0', 0}},
    };
    for (const char* name : {"SFX", "TITLE", "PHONE", "MESSAGE", "CODE"}) {
        for (std::size_t i = 0; i <= spoilt.size(); ++i) {
            SCOPED_TRACE(std::string(name) + " spoilt in way " + std::to_string(i));
            MemorySettingsStore store = SavedStore(off);
            if (i < spoilt.size()) {
                store.PutRaw(name, spoilt[i].first, spoilt[i].second);
            } else {
                store.values.erase(name);
            }
            ShowSettings loaded = OddSettings();
            ASSERT_TRUE(LoadSettings(loaded, store));
            const std::string n = name;
            EXPECT_EQ(loaded.soundEnabled, n == "SFX");
            EXPECT_EQ(loaded.titleEnabled, n == "TITLE");
            EXPECT_EQ(loaded.phoneEnabled, n == "PHONE");
            EXPECT_EQ(loaded.messageEnabled, n == "MESSAGE");
            EXPECT_EQ(loaded.codeEnabled, n == "CODE");
            EXPECT_EQ(Text(loaded.messageText), "Hi");
        }
    }
}

TEST(SettingsStore, HighBytesRoundTrip) {
    ShowSettings saved = OddSettings();
    const char high[] = "\x80\xA9\xE4\xFF end";
    std::strcpy(saved.messageText.data(), high);
    MemorySettingsStore store = SavedStore(saved);
    ShowSettings loaded;
    ASSERT_TRUE(LoadSettings(loaded, store));
    EXPECT_EQ(Text(loaded.messageText), high);
}

TEST(SettingsStore, UncreatableKeyStoresNothingAndSaysSo) {
    MemorySettingsStore store;
    store.keyCreatable = false;
    EXPECT_FALSE(SaveSettings(OddSettings(), store));
    EXPECT_TRUE(store.values.empty());
    EXPECT_TRUE(store.writeOrder.empty());
}

// Whichever value fails, first, last or between, the save says so; the others are still
// written, so one bad value costs no more than itself.
TEST(SettingsStore, AnyRefusedWriteFailsTheSaveAndTheRestAreWritten) {
    const std::vector<std::string> names = {"TITLE", "PHONE", "MESSAGE", "CODE", "FACE",
                                            "SFX",   "TEXT",  "TELNO",   "SCALE"};
    for (const std::string& refused : names) {
        MemorySettingsStore store;
        store.refusedWrites = {refused};
        EXPECT_FALSE(SaveSettings(OddSettings(), store)) << refused;
        std::vector<std::string> others;
        std::copy_if(names.begin(), names.end(), std::back_inserter(others),
                     [&](const std::string& name) { return name != refused; });
        EXPECT_EQ(store.writeOrder, others) << refused;
        EXPECT_FALSE(store.values.contains(refused));
    }
}

TEST(SettingsStore, UnterminatedRecordWritesAtMostItsBufferLessOne) {
    ShowSettings saved = OddSettings();
    saved.messageText.fill('a');
    saved.phoneNumber.fill('9');
    MemorySettingsStore store = SavedStore(saved);
    EXPECT_EQ(store.values.at("TEXT").data.size(), 1023u);
    EXPECT_EQ(store.values.at("TELNO").data.size(), 11u);
}

}  // namespace
}  // namespace korvane
