// "ScreenSaveUsePassword" as the registry really stores it, read by every path through one
// reader: the framework's verifier and the show's own prompt agree on each kind of value.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "host/password_gate_windows.h"
#include "host/screen_saver_password_windows.h"
#include "tests/host/system_verifier_windows.h"
#include "win32/scoped_handles_windows.h"

namespace korvane {
namespace {

constexpr char kDesktop[] = "Control Panel\\Desktop";
constexpr char kValue[] = "ScreenSaveUsePassword";

class PasswordSettingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kDesktop, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, key_.Receive(), nullptr),
                  ERROR_SUCCESS);
        DWORD size = 0;
        if (RegQueryValueExA(key_.get(), kValue, nullptr, &savedType_, nullptr, &size) ==
            ERROR_SUCCESS) {
            saved_.resize(size);
            RegQueryValueExA(key_.get(), kValue, nullptr, &savedType_, saved_.data(), &size);
            hadValue_ = true;
        }
    }
    void TearDown() override {
        if (hadValue_) {
            RegSetValueExA(key_.get(), kValue, 0, savedType_, saved_.data(),
                           static_cast<DWORD>(saved_.size()));
        } else {
            RegDeleteValueA(key_.get(), kValue);
        }
    }
    void Store(DWORD type, std::vector<uint8_t> bytes) {
        ASSERT_EQ(RegSetValueExA(key_.get(), kValue, 0, type, bytes.data(),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }
    // Whether the framework's path takes the verifier for this value.
    bool FrameworkTakesVerifier() {
        PasswordGate gate;
        gate.OpenForRun(true, false);
        const bool taken = gate.HoldsVerifier();
        gate.CloseForRun();
        return taken && !gate.HoldsVerifier();
    }

    ScopedRegistryKey key_;
    bool hadValue_ = false;
    DWORD savedType_ = REG_NONE;
    std::vector<uint8_t> saved_;
};

TEST_F(PasswordSettingTest, EachStoredKindMeansWhatItSays) {
    RegDeleteValueA(key_.get(), kValue);
    EXPECT_EQ(ReadPasswordRequired(), std::nullopt);

    struct Case {
        DWORD type;
        std::vector<uint8_t> bytes;
        bool required;
    };
    const Case cases[] = {
        {REG_DWORD, {0, 0, 0, 0}, false},
        {REG_DWORD, {1, 0, 0, 0}, true},
        {REG_SZ, {'0', 0}, false},
        {REG_SZ, {'1', 0}, true},
        {REG_BINARY, {0, 0, 0, 0}, false},
        {REG_BINARY, {0, 0, 1, 0}, true},
        // Anything else fails closed.
        {REG_BINARY, {0, 0}, true},
        {REG_SZ, {'n', 'o', 0}, true},
        {REG_QWORD, {0, 0, 0, 0, 0, 0, 0, 0}, true},
        {REG_EXPAND_SZ, {'0', 0}, true},
        {REG_MULTI_SZ, {'0', 0, 0}, true},
    };
    for (const Case& stored : cases) {
        Store(stored.type, stored.bytes);
        EXPECT_EQ(ReadPasswordRequired(), std::optional<bool>(stored.required))
            << "type " << stored.type << ", " << stored.bytes.size() << " bytes";
    }
}

TEST_F(PasswordSettingTest, TheFrameworkTakesTheVerifierOnlyWhenAPasswordIsRequired) {
    testing::SystemVerifier verifier;
    ASSERT_TRUE(verifier.Install());
    Store(REG_SZ, {'1', 0});
    EXPECT_TRUE(FrameworkTakesVerifier());
    Store(REG_SZ, {'0', 0});
    EXPECT_FALSE(FrameworkTakesVerifier());
    Store(REG_BINARY, {9, 9});
    EXPECT_TRUE(FrameworkTakesVerifier());
    RegDeleteValueA(key_.get(), kValue);
    EXPECT_FALSE(FrameworkTakesVerifier());
    // Required, but no verifier in the system directory: nothing to ask, the saver closes.
    Store(REG_DWORD, {1, 0, 0, 0});
    verifier.Remove();
    EXPECT_FALSE(FrameworkTakesVerifier());
}

TEST_F(PasswordSettingTest, OnlyAKeyOrValueThatIsNotThereMeansNoPassword) {
    constexpr char kEmptyRoot[] = "Software\\Korvane test root without a desktop";
    {
        ScopedRegistryKey root;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kEmptyRoot, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, root.Receive(), nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(ReadPasswordRequired(root.get()), std::nullopt);
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, kEmptyRoot);
    // A key that cannot be opened at all (a handle already closed) asks for a password.
    HKEY closed = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel", 0, KEY_READ, &closed),
              ERROR_SUCCESS);
    RegCloseKey(closed);
    EXPECT_EQ(ReadPasswordRequired(closed), std::optional<bool>(true));
}

// No prompt is ever shown: there is nothing that could ask.
class CountedSurroundings final : public PromptSurroundings {
  public:
    void BeforePrompt() override { ++prompts; }
    void AfterPrompt(bool) override {}
    int prompts = 0;
};
std::vector<bool> announced;
void RecordAnnouncement(bool on) {
    announced.push_back(on);
}

TEST_F(PasswordSettingTest, OnWindows9xAVerifierThatCannotAnswerHoldsTheRunAndRefuses) {
    testing::SystemVerifier verifier;
    Store(REG_DWORD, {1, 0, 0, 0});
    for (const bool library : {true, false}) {
        SCOPED_TRACE(library ? "without its entry point" : "no library");
        ASSERT_TRUE(library ? verifier.Install("NOENTRY.CPL") : verifier.InstallNonLibrary());
        announced.clear();
        PasswordGate gate;
        gate.running.announce = &RecordAnnouncement;
        gate.OpenForRun(true, true);
        EXPECT_TRUE(gate.HoldsVerifier());
        EXPECT_TRUE(gate.PasswordInForce());
        CountedSurroundings surroundings;
        EXPECT_FALSE(gate.AllowsClose(nullptr, surroundings));
        EXPECT_EQ(surroundings.prompts, 0);
        gate.CloseForRun();
        EXPECT_EQ(announced, (std::vector<bool>{true, false}));
    }
}

}  // namespace
}  // namespace korvane
