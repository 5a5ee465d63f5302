// The show's password prompt against the stand-in verifier beside this test: the verifier is
// asked whether or not the run has a DirectDraw object, and only the cooperation-level change
// depends on one.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "host/saver_host_windows.h"
#include "tests/display/fake_ddraw_windows.h"

namespace korvane {
namespace {

std::vector<std::string> notices;
void RecordNotice(const char* text) {
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
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        logPath_ = std::string(folder) + "korvane_verify_" + std::to_string(GetCurrentProcessId()) +
                   ".log";
        std::remove(logPath_.c_str());
        _putenv_s("KORVANE_TEST_PASSWORD_LOG", logPath_.c_str());
        host_.show.displayPlatform.notify = &RecordNotice;
        host_.show.displayPlatform.directDrawCreate = &RefuseDirectDraw;
        SetActiveSaverHost(&host_);
        window_ = CreateWindowExA(0, "STATIC", "verify", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        DestroyWindow(window_);
        host_.show.show.display = nullptr;
        host_.show.display.reset();
        SetActiveSaverHost(nullptr);
        std::remove(logPath_.c_str());
    }
    int TimesAsked() const {
        std::ifstream log(logPath_);
        int count = 0;
        for (std::string line; std::getline(log, line);) {
            count += line == "asked" ? 1 : 0;
        }
        return count;
    }
    static void Answer(const char* answer) { _putenv_s("KORVANE_TEST_PASSWORD_ANSWER", answer); }

    SaverHost host_;
    HWND window_ = nullptr;
    std::string logPath_;
};

TEST_F(VerifyShowPasswordTest, WithoutDirectDrawTheVerifierIsStillAskedAndCanRefuse) {
    Answer("0");
    ASSERT_EQ(host_.show.display, nullptr);

    EXPECT_EQ(VerifyShowPassword(window_), 0);
    EXPECT_EQ(TimesAsked(), 1);

    // The display is set up again afterwards, whatever the answer; it reports what failed.
    ASSERT_NE(host_.show.display, nullptr);
    EXPECT_EQ(host_.show.show.display, host_.show.display.get());
    EXPECT_EQ(notices, (std::vector<std::string>{"Create not Successful", "NO SPRITES"}));
}

TEST_F(VerifyShowPasswordTest, WithoutDirectDrawAnAcceptedPasswordLetsTheSaverClose) {
    Answer("1");
    EXPECT_NE(VerifyShowPassword(window_), 0);
    EXPECT_EQ(TimesAsked(), 1);
}

TEST_F(VerifyShowPasswordTest, WithDirectDrawExclusiveModeIsLeftBeforeAskingAndRetakenAfter) {
    CooperationRecorder directDraw;
    recorder = &directDraw;
    host_.show.displayPlatform.directDrawCreate = &HandOutRecorder;
    SetUpShowDisplay(host_.show, window_, DesktopMode{640, 480, 32});
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
    host_.show.show.display = nullptr;
    host_.show.display.reset();
    recorder = nullptr;
}

}  // namespace
}  // namespace korvane
