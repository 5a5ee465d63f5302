// The store against Wine's real registry of the current user.
#include "settings/registry_settings_store_windows.h"
#include "win32/scoped_handles_windows.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace korvane {
namespace {

std::string Text(const auto& buffer) {
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

void DeleteSettingsKey() {
    const LONG result = RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKeyPath);
    ASSERT_TRUE(result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) << result;
}

void PutRaw(const char* name, DWORD type, const void* data, DWORD size) {
    ScopedRegistryKey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, key.Receive(), nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
}

void PutText(const char* name, const std::string& text) {
    PutRaw(name, REG_SZ, text.data(), static_cast<DWORD>(text.size()));
}

void PutDword(const char* name, DWORD value) {
    PutRaw(name, REG_DWORD, &value, sizeof value);
}

struct RawValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<unsigned char> data;
};

RawValue QueryRaw(const char* name) {
    RawValue value;
    ScopedRegistryKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, key.Receive()) !=
        ERROR_SUCCESS) {
        return value;
    }
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        value.present = RegQueryValueExA(key.get(), name, nullptr, &value.type, value.data.data(),
                                         &size) == ERROR_SUCCESS;
        value.data.resize(size);
    }
    return value;
}

ShowSettings OddSettings() {
    ShowSettings settings;
    SetDefaultSettings(settings);
    settings.titleEnabled = false;
    settings.messageEnabled = false;
    settings.soundEnabled = false;
    std::strcpy(settings.messageText.data(), "Hi");
    std::strcpy(settings.phoneNumber.data(), "0123456789");
    settings.glyphScale = 2;
    return settings;
}

void ExpectDefaults(const ShowSettings& settings) {
    EXPECT_TRUE(settings.titleEnabled && settings.phoneEnabled && settings.messageEnabled &&
                settings.codeEnabled && settings.faceEnabled && settings.soundEnabled);
    EXPECT_EQ(Text(settings.messageText), kDefaultMessage);
    EXPECT_EQ(Text(settings.phoneNumber), "3525550690");
    EXPECT_EQ(settings.glyphScale, kAutomaticGlyphScale);
}

class RegistrySettingsStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override { DeleteSettingsKey(); }
};

TEST_F(RegistrySettingsStoreTest, FirstRunLoadsDefaultsWithoutCreatingTheKey) {
    ShowSettings settings = OddSettings();
    EXPECT_FALSE(LoadSettings(settings));
    ExpectDefaults(settings);
    ScopedRegistryKey key;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, key.Receive()),
              ERROR_SUCCESS);
}

TEST_F(RegistrySettingsStoreTest, SaveWritesTypesAndLengthsAsStored) {
    ASSERT_TRUE(SaveSettings(OddSettings()));
    const struct {
        const char* name;
        DWORD value;
    } flags[] = {{"TITLE", 0}, {"PHONE", 1}, {"MESSAGE", 0}, {"CODE", 1},
                 {"FACE", 1},  {"SFX", 0},   {"SCALE", 2}};
    for (const auto& flag : flags) {
        const RawValue raw = QueryRaw(flag.name);
        ASSERT_TRUE(raw.present) << flag.name;
        EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD)) << flag.name;
        ASSERT_EQ(raw.data.size(), 4u) << flag.name;
        DWORD value = 99;
        std::memcpy(&value, raw.data.data(), 4);
        EXPECT_EQ(value, flag.value) << flag.name;
    }
    // The texts are written with their character count. Like NT, Wine completes a string
    // whose next byte in memory is a zero with that zero, so one terminator may follow.
    const auto expectText = [](const char* name, const std::string& characters) {
        const RawValue raw = QueryRaw(name);
        EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ)) << name;
        const std::string data(raw.data.begin(), raw.data.end());
        EXPECT_TRUE(data == characters || data == characters + '\0') << name << ": " << data;
    };
    expectText("TEXT", "Hi");
    expectText("TELNO", "0123456789");
}

TEST_F(RegistrySettingsStoreTest, SavedRecordLoadsBack) {
    ShowSettings saved = OddSettings();
    std::strcpy(saved.messageText.data(), "line one\r\nline two\r\n\x80\xE4\xFF");
    ASSERT_TRUE(SaveSettings(saved));
    ShowSettings loaded;
    SetDefaultSettings(loaded);
    ASSERT_TRUE(LoadSettings(loaded));
    EXPECT_FALSE(loaded.titleEnabled);
    EXPECT_TRUE(loaded.phoneEnabled);
    EXPECT_FALSE(loaded.messageEnabled);
    EXPECT_TRUE(loaded.codeEnabled);
    EXPECT_FALSE(loaded.soundEnabled);
    EXPECT_EQ(Text(loaded.messageText), Text(saved.messageText));
    EXPECT_EQ(Text(loaded.phoneNumber), "0123456789");
    EXPECT_EQ(loaded.glyphScale, 2);
}

TEST_F(RegistrySettingsStoreTest, EmptyAndTerminatedTextsLoad) {
    ASSERT_TRUE(SaveSettings(OddSettings()));
    PutText("TEXT", "");
    PutText("TELNO", std::string("555\0", 4));
    ShowSettings loaded;
    ASSERT_TRUE(LoadSettings(loaded));
    EXPECT_EQ(Text(loaded.messageText), "");
    EXPECT_EQ(Text(loaded.phoneNumber), "555");
}

TEST_F(RegistrySettingsStoreTest, ElevenCharacterNumberAndLongestMessageLoad) {
    ASSERT_TRUE(SaveSettings(OddSettings()));
    PutText("TEXT", std::string(1023, 'q'));
    PutText("TELNO", "12345678901");
    ShowSettings loaded;
    ASSERT_TRUE(LoadSettings(loaded));
    EXPECT_EQ(Text(loaded.messageText), std::string(1023, 'q'));
    EXPECT_EQ(Text(loaded.phoneNumber), "12345678901");
}

TEST_F(RegistrySettingsStoreTest, BadTextsFallBackToDefaults) {
    const DWORD seven = 7;
    const struct {
        const char* what;
        const char* name;
        DWORD type;
        std::string data;
    } cases[] = {
        {"message of 1024 bytes", "TEXT", REG_SZ, std::string(1024, 'x')},
        {"message of 5000 bytes", "TEXT", REG_SZ, std::string(5000, 'x')},
        {"number of 12 bytes", "TELNO", REG_SZ, std::string(12, '1')},
        {"number of 40 bytes", "TELNO", REG_SZ, std::string(40, '1')},
        {"message as DWORD", "TEXT", REG_DWORD,
         std::string(reinterpret_cast<const char*>(&seven), 4)},
        {"number as DWORD", "TELNO", REG_DWORD,
         std::string(reinterpret_cast<const char*>(&seven), 4)},
        {"number as binary", "TELNO", REG_BINARY, "123"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(SaveSettings(OddSettings()));
        PutRaw(c.name, c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
        ShowSettings loaded = OddSettings();
        EXPECT_FALSE(LoadSettings(loaded));
        ExpectDefaults(loaded);
    }
}

TEST_F(RegistrySettingsStoreTest, KeyWithoutValuesFallsBackToDefaults) {
    PutText("UNRELATED", "x");
    ShowSettings loaded = OddSettings();
    EXPECT_FALSE(LoadSettings(loaded));
    ExpectDefaults(loaded);
}

TEST_F(RegistrySettingsStoreTest, BadFlagsAreOnABadGlyphSizeIsAutomaticAndTheRestLoads) {
    ShowSettings off = OddSettings();
    off.phoneEnabled = off.codeEnabled = false;
    const DWORD two = 2;
    ASSERT_TRUE(SaveSettings(off));
    PutRaw("SFX", REG_BINARY, &two, sizeof two);
    PutText("TITLE", "0");
    PutRaw("PHONE", REG_DWORD, &two, 2);  // shorter than a DWORD
    PutRaw("MESSAGE", REG_DWORD, nullptr, 0);
    PutDword("CODE", 256);
    PutText("SCALE", "2");
    ShowSettings loaded = OddSettings();
    ASSERT_TRUE(LoadSettings(loaded));
    EXPECT_EQ(loaded.glyphScale, kAutomaticGlyphScale);
    EXPECT_TRUE(loaded.soundEnabled);
    EXPECT_TRUE(loaded.titleEnabled);
    EXPECT_TRUE(loaded.phoneEnabled);
    EXPECT_TRUE(loaded.messageEnabled);
    EXPECT_TRUE(loaded.codeEnabled);
    EXPECT_EQ(Text(loaded.messageText), "Hi");

    // A missing flag is on as well, and a stored 0 is off.
    DeleteSettingsKey();
    ASSERT_TRUE(SaveSettings(off));
    ScopedRegistryKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_ALL_ACCESS, key.Receive()),
              ERROR_SUCCESS);
    RegDeleteValueA(key.get(), "TITLE");
    RegDeleteValueA(key.get(), "SCALE");  // as a key saved before the glyph size existed
    key.Reset();
    loaded = OddSettings();
    loaded.titleEnabled = false;
    ASSERT_TRUE(LoadSettings(loaded));
    EXPECT_TRUE(loaded.titleEnabled);
    EXPECT_FALSE(loaded.phoneEnabled);
    EXPECT_FALSE(loaded.codeEnabled);
    EXPECT_EQ(loaded.glyphScale, kAutomaticGlyphScale);
}

}  // namespace
}  // namespace korvane
