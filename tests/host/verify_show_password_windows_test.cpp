// The show's password prompt against the stand-in verifier in the system directory: the
// verifier is asked whether or not the run has a DirectDraw object; leaving and retaking
// exclusive mode, and setting the display up again, happen only with one.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "host/saver_window_windows.h"
#include "tests/display/counting_ddraw_windows.h"
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

// DirectDraw objects that give the show its pages and log the cooperation levels asked of them.
struct CooperationLog {
    std::vector<DWORD> levels;
    HWND lastWindow = nullptr;
    int creates = 0;
};
CooperationLog cooperation;
testing::LiveObjects live;

class CooperationRecorder : public testing::CountedDirectDraw {
  public:
    using CountedDirectDraw::CountedDirectDraw;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override {
        cooperation.levels.push_back(flags);
        cooperation.lastWindow = window;
        return DD_OK;
    }
};

HRESULT WINAPI HandOutRecorder(GUID*, IDirectDraw** directDraw, IUnknown*) {
    ++cooperation.creates;
    *directDraw = new CooperationRecorder(live);
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
        host_.gate.required = true;
        window_ = CreateWindowExA(0, "STATIC", "verify", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        host_.window.saverWindow = window_;
    }
    void TearDown() override {
        DestroyWindow(window_);
        DeleteShowDisplay(host_.binding);
    }
    int TimesAsked() const { return verifier_.TimesAsked(); }
    static void Answer(const char* answer) { testing::SystemVerifier::Answer(answer); }
    // One prompt through the gate, as a close request after the grace period brings it.
    bool Ask() {
        host_.gate.lastVerifyTick = kNoVerificationYet;
        return host_.gate.AllowsClose(window_, host_);
    }

    testing::SystemVerifier verifier_;
    SaverWindow host_;
    HWND window_ = nullptr;
};

TEST_F(VerifyShowPasswordTest, WithoutDirectDrawTheVerifierIsStillAskedAndCanRefuse) {
    Answer("0");
    ASSERT_EQ(DirectDrawDisplay(host_.binding), nullptr);

    EXPECT_FALSE(Ask());
    EXPECT_EQ(TimesAsked(), 1);
    EXPECT_EQ(DirectDrawDisplay(host_.binding), nullptr);
    EXPECT_TRUE(notices.empty());
}

TEST_F(VerifyShowPasswordTest, WithoutDirectDrawAnAcceptedPasswordLetsTheSaverClose) {
    Answer("1");
    EXPECT_TRUE(Ask());
    EXPECT_EQ(TimesAsked(), 1);
}

TEST_F(VerifyShowPasswordTest, AFailedDisplayIsNotSetUpAgainAfterEitherAnswer) {
    SetUpShowDisplay(host_.binding, window_, DesktopMode{640, 480, 32}, 1);
    ASSERT_EQ(notices, (std::vector<std::string>{"Create not Successful", "NO SPRITES"}));
    notices.clear();
    // The show went on with its pages drawn by GDI, and no DirectDraw object stayed.
    EXPECT_EQ(DirectDrawDisplay(host_.binding), nullptr);
    const GdiDisplay* fallback = GdiPages(host_.binding);
    ASSERT_NE(fallback, nullptr);

    Answer("0");
    EXPECT_FALSE(Ask());
    Answer("1");
    EXPECT_TRUE(Ask());

    // Asked both times, and the failure notices did not come back after either answer.
    EXPECT_EQ(TimesAsked(), 2);
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(GdiPages(host_.binding), fallback);
    EXPECT_EQ(DirectDrawDisplay(host_.binding), nullptr);
}

TEST_F(VerifyShowPasswordTest, OnlyTheSystemDirectorysVerifierAnswers) {
    // The runner's folder holds its own PASSWORD.CPL, as a planted copy would sit beside the
    // saver; with the system's copy gone it must not be asked.
    verifier_.Remove();
    ASSERT_NE(GetFileAttributesA((testing::RunnerFolder() + "\\PASSWORD.CPL").c_str()),
              INVALID_FILE_ATTRIBUTES);
    Answer("0");
    EXPECT_TRUE(Ask());  // no verifier: closes, as before
    EXPECT_EQ(TimesAsked(), 0);
}

TEST_F(VerifyShowPasswordTest, AVerifierThatIsThereButCannotAnswerRefusesEveryClose) {
    Answer("1");
    ASSERT_TRUE(verifier_.Install("NOENTRY.CPL"));  // loads, but has no VerifyScreenSavePwd
    EXPECT_FALSE(Ask());
    ASSERT_TRUE(verifier_.InstallNonLibrary());
    EXPECT_FALSE(Ask());
    EXPECT_EQ(TimesAsked(), 0);
    // The same folder without the file: absent, and the run closes as it always did.
    verifier_.Remove();
    EXPECT_TRUE(Ask());
}

TEST_F(VerifyShowPasswordTest, WithDirectDrawExclusiveModeIsLeftBeforeAskingAndRetakenAfter) {
    cooperation = CooperationLog{};
    live.count = 0;
    host_.binding.displayPlatform.directDrawCreate = &HandOutRecorder;
    SetUpShowDisplay(host_.binding, window_, DesktopMode{640, 480, 32}, 1);
    ASSERT_EQ(cooperation.levels, (std::vector<DWORD>{DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN}));
    ASSERT_NE(DirectDrawDisplay(host_.binding), nullptr) << "the recorder's pages were not taken";
    const int liveAfterSetUp = live.count;
    Answer("0");

    EXPECT_FALSE(Ask());

    EXPECT_EQ(TimesAsked(), 1);
    EXPECT_EQ(cooperation.levels,
              (std::vector<DWORD>{DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN, DDSCL_NORMAL,
                                  DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN}));
    EXPECT_EQ(cooperation.lastWindow, window_);
    EXPECT_EQ(cooperation.creates, 2);
    // The first device was released whole before the second took exclusive mode.
    EXPECT_EQ(live.count, liveAfterSetUp);
    DeleteShowDisplay(host_.binding);
    EXPECT_EQ(live.count, 0);
}

}  // namespace
}  // namespace korvane
