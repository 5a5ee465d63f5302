// The show's password prompt against the stand-in verifier in the system directory: the
// verifier is asked whether or not the run has a DirectDraw object; leaving and retaking
// exclusive mode, and setting the display up again, happen only with one.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "host/saver_host_windows.h"
#include "tests/display/fake_ddraw_windows.h"
#include "tests/host/system_verifier_windows.h"

namespace korvane {
namespace {

std::vector<std::string> notices;
void RecordNotice(HWND, const char* text) {
    notices.emplace_back(text);
}

HRESULT WINAPI RefuseDirectDraw(GUID*, IDirectDraw** directDraw, IUnknown*) {
    *directDraw = nullptr;
    return DDERR_GENERIC;
}

// A DirectDraw object that only accepts cooperation levels, so the set-up stops at the surfaces.
class CooperationRecorder : public testing::FakeDirectDrawBase {
  public:
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override {
        levels.push_back(flags);
        lastWindow = window;
        return DD_OK;
    }
    std::vector<DWORD> levels;
    HWND lastWindow = nullptr;
};
CooperationRecorder* recorder = nullptr;

HRESULT WINAPI HandOutRecorder(GUID*, IDirectDraw** directDraw, IUnknown*) {
    *directDraw = recorder;
    return DD_OK;
}

class VerifyShowPasswordTest : public ::testing::Test {
  protected:
    void SetUp() override {
        notices.clear();
        ASSERT_TRUE(verifier_.Install())
            << "cannot copy the stand-in to " << testing::SystemVerifierPath();
        host_.binding.displayPlatform.notify = &RecordNotice;
        host_.binding.displayPlatform.directDrawCreate = &RefuseDirectDraw;
        SetActiveSaverHost(&host_);
        window_ = CreateWindowExA(0, "STATIC", "verify", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        DestroyWindow(window_);
        host_.binding.show.display = nullptr;
        host_.binding.display.reset();
        SetActiveSaverHost(nullptr);
    }
    int TimesAsked() const { return verifier_.TimesAsked(); }
    static void Answer(const char* answer) { testing::SystemVerifier::Answer(answer); }

    testing::SystemVerifier verifier_;
    SaverHost host_;
    HWND window_ = nullptr;
};

TEST_F(VerifyShowPasswordTest, WithoutDirectDrawTheVerifierIsStillAskedAndCanRefuse) {
    Answer("0");
    ASSERT_EQ(host_.binding.display, nullptr);

    EXPECT_EQ(VerifyShowPassword(window_), 0);
    EXPECT_EQ(TimesAsked(), 1);
    EXPECT_EQ(host_.binding.display, nullptr);
    EXPECT_TRUE(notices.empty());
}

TEST_F(VerifyShowPasswordTest, WithoutDirectDrawAnAcceptedPasswordLetsTheSaverClose) {
    Answer("1");
    EXPECT_NE(VerifyShowPassword(window_), 0);
    EXPECT_EQ(TimesAsked(), 1);
}

TEST_F(VerifyShowPasswordTest, AFailedDisplayIsNotSetUpAgainAfterEitherAnswer) {
    SetUpShowDisplay(host_.binding, window_, DesktopMode{640, 480, 32});
    ASSERT_EQ(notices, (std::vector<std::string>{"Create not Successful", "NO SPRITES"}));
    notices.clear();
    DisplayDevice* failed = host_.binding.display.get();

    Answer("0");
    EXPECT_EQ(VerifyShowPassword(window_), 0);
    Answer("1");
    EXPECT_NE(VerifyShowPassword(window_), 0);

    // Asked both times, and the failure notices did not come back after either answer.
    EXPECT_EQ(TimesAsked(), 2);
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(host_.binding.display.get(), failed);
}

TEST_F(VerifyShowPasswordTest, OnlyTheSystemDirectorysVerifierAnswers) {
    // The runner's folder holds its own PASSWORD.CPL, as a planted copy would sit beside the
    // saver; with the system's copy gone it must not be asked.
    verifier_.Remove();
    ASSERT_NE(GetFileAttributesA((testing::RunnerFolder() + "\\PASSWORD.CPL").c_str()),
              INVALID_FILE_ATTRIBUTES);
    Answer("0");
    EXPECT_NE(VerifyShowPassword(window_), 0);  // no verifier: closes, as before
    EXPECT_EQ(TimesAsked(), 0);
}

TEST_F(VerifyShowPasswordTest, WithDirectDrawExclusiveModeIsLeftBeforeAskingAndRetakenAfter) {
    CooperationRecorder directDraw;
    recorder = &directDraw;
    host_.binding.displayPlatform.directDrawCreate = &HandOutRecorder;
    SetUpShowDisplay(host_.binding, window_, DesktopMode{640, 480, 32});
    ASSERT_EQ(directDraw.levels, (std::vector<DWORD>{DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN}));
    Answer("0");

    EXPECT_EQ(VerifyShowPassword(window_), 0);

    EXPECT_EQ(TimesAsked(), 1);
    EXPECT_EQ(directDraw.levels,
              (std::vector<DWORD>{DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN, DDSCL_NORMAL,
                                  DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN}));
    EXPECT_EQ(directDraw.lastWindow, window_);
    // The first device was released before the second took exclusive mode.
    EXPECT_GE(directDraw.releases, 1u);
    host_.binding.show.display = nullptr;
    host_.binding.display.reset();
    recorder = nullptr;
}

}  // namespace
}  // namespace korvane
