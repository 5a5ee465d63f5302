// The saver window as the framework and the show drive it, in this process: the password path
// of the framework itself, set-ups whose notices provoke a close, failures inside the show,
// forged messages, the preview decision, the single full-screen run, the references a run
// of refused prompts leaves behind, the show without DirectDraw and the monitor covers.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <new>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "host/saver_window_windows.h"
#include "host/window_cover_windows.h"
#include "tests/display/counting_ddraw_windows.h"
#include "tests/host/fake_wave_device.h"
#include "tests/host/system_verifier_windows.h"
#include "win32/scoped_handles_windows.h"

namespace korvane {
namespace {

constexpr UINT kSetUpDisplayRequest = WM_APP + 1;
constexpr RECT kCover{0, 0, 320, 240};
const void* const kSaverProc = reinterpret_cast<const void*>(&SaverClassProc);

// What the stand-ins below saw; reset by every test.
struct Observed {
    std::vector<std::string> notices;
    int creates = 0;
    int createsDuringNotice = 0;
    bool inNotice = false;
    bool displayReachableDuringNotice = false;
    bool windowGoneDuringNotice = false;
    int verifications = 0;
    int closesSentWhileVerifying = 0;
    int32_t framesDuringPrompt = 0;
    int throwOnCreate = 0;  // the create call (1-based) that throws, 0 for none
    std::vector<std::string> soundCallsAtFirstCreate;
    bool ownerDisabledDuringPrompt = false;
};
Observed seen;
testing::LiveObjects live;
HWND windowUnderTest = nullptr;
SaverWindow* hostUnderTest = nullptr;
BOOL verifyAnswer = FALSE;

void Pump(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message != WM_QUIT) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
        Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 3000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= milliseconds) {
            return false;
        }
        Pump(10);
    }
    return true;
}

bool QuitQueued() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

std::shared_ptr<testing::FakeWaveRecord> soundRecord;

HRESULT WINAPI CreateCounted(GUID*, IDirectDraw** directDraw, IUnknown*) {
    ++seen.creates;
    if (seen.creates == 1) {
        seen.soundCallsAtFirstCreate = soundRecord->Calls();
    }
    if (seen.inNotice) {
        ++seen.createsDuringNotice;
    }
    if (seen.creates == seen.throwOnCreate) {
        throw std::bad_alloc();
    }
    *directDraw = new testing::CountedDirectDraw(live);
    return DD_OK;
}

HRESULT WINAPI RefuseDirectDraw(GUID*, IDirectDraw** directDraw, IUnknown*) {
    ++seen.creates;
    if (seen.inNotice) {
        ++seen.createsDuringNotice;
    }
    *directDraw = nullptr;
    return DDERR_GENERIC;
}

// DirectDraw that takes exclusive mode but makes no surfaces, so every set-up has notices.
class CooperativeOnly : public testing::FakeDirectDrawBase {
  public:
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND, DWORD) override { return DD_OK; }
};
CooperativeOnly cooperativeOnly;
HRESULT WINAPI CreateCooperativeOnly(GUID*, IDirectDraw** directDraw, IUnknown*) {
    ++seen.creates;
    if (seen.inNotice) {
        ++seen.createsDuringNotice;
    }
    *directDraw = &cooperativeOnly;
    return DD_OK;
}

void RecordNotice(HWND, const char* text) {
    seen.notices.emplace_back(text);
}

// A notice that behaves like a user who sees black and moves the mouse: the window is asked to
// close, directly and through its queue, while the notice's own message loop runs.
void CloseFromNotice(HWND owner, const char* text) {
    seen.notices.emplace_back(text);
    seen.inNotice = true;
    SendMessageA(owner, WM_CLOSE, 0, 0);
    PostMessageA(owner, WM_CLOSE, 0, 0);
    Pump(30);
    seen.displayReachableDuringNotice |=
        hostUnderTest->binding.display != nullptr || hostUnderTest->binding.show.display != nullptr;
    seen.windowGoneDuringNotice |= !IsWindow(owner);
    seen.inNotice = false;
}

BOOL WINAPI FakeVerify(HWND window) {
    ++seen.verifications;
    // No frame runs while the prompt is up.
    const int32_t tick = hostUnderTest->window.tickCounter;
    Pump(80);
    seen.framesDuringPrompt += hostUnderTest->window.tickCounter - tick;
    // Input and a second close request while the prompt is up.
    SendMessageA(window, WM_KEYDOWN, 'A', 0);
    SendMessageA(window, WM_CLOSE, 0, 0);
    ++seen.closesSentWhileVerifying;
    return verifyAnswer;
}

// The run's sound goes to a fake device over a few samples of our own.
std::unique_ptr<WaveDevice> MakeFakeSoundDevice() {
    return std::make_unique<testing::FakeWaveDevice>(soundRecord);
}
std::vector<PlayerCue> FakeSoundCues(HMODULE) {
    static const std::vector<uint8_t> samples(4410, 128);
    std::vector<PlayerCue> cues;
    for (const int32_t id : {kTraceTypingSound, kTraceSearchSound, kKeyClickSound, kTitleMusic}) {
        cues.push_back({id, {samples.data(), static_cast<uint32_t>(samples.size()), 11025}});
    }
    return cues;
}

std::vector<MonitorArea> fakeMonitors;
DesktopMode fakeMode;
std::vector<MonitorArea> ListFakeMonitors() {
    return fakeMonitors;
}
DesktopMode QueryFakeMode() {
    return fakeMode;
}

// Keeps "ScreenSaveUsePassword" out of the way while a test runs, so the show's flag is what
// the test sets, whatever the prefix holds.
class PasswordValueSetAside {
  public:
    PasswordValueSetAside() {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_ALL_ACCESS,
                          key_.Receive()) != ERROR_SUCCESS) {
            key_.Reset();
            return;
        }
        DWORD size = sizeof saved_;
        had_ =
            RegQueryValueExA(key_.get(), kValue, nullptr, &type_, saved_, &size) == ERROR_SUCCESS;
        size_ = size;
        RegDeleteValueA(key_.get(), kValue);
    }
    PasswordValueSetAside(const PasswordValueSetAside&) = delete;
    PasswordValueSetAside& operator=(const PasswordValueSetAside&) = delete;
    ~PasswordValueSetAside() {
        if (!key_) {
            return;
        }
        if (had_) {
            RegSetValueExA(key_.get(), kValue, 0, type_, saved_, size_);
        }
    }

  private:
    static constexpr char kValue[] = "ScreenSaveUsePassword";
    ScopedRegistryKey key_;
    bool had_ = false;
    DWORD type_ = REG_NONE;
    DWORD size_ = 0;
    BYTE saved_[64] = {};
};

class SaverWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        seen = Observed{};
        live.count = 0;
        verifyAnswer = FALSE;
        host_.framework.saverInstance = GetModuleHandleA(nullptr);
        host_.framework.coverRect = kCover;
        host_.binding.displayPlatform.notify = &RecordNotice;
        host_.binding.displayPlatform.directDrawCreate = &CreateCounted;
        host_.binding.displayPlatform.glyphSheet = KORVANE_TEST_GLYPH_SHEET;
        soundRecord = std::make_shared<testing::FakeWaveRecord>();
        host_.binding.sound.makeDevice = &MakeFakeSoundDevice;
        host_.binding.sound.warmUpMilliseconds = 0;
        host_.binding.soundCues = &FakeSoundCues;
        hostUnderTest = &host_;
        RegisterSaverClass(host_.framework.saverInstance);  // fails harmlessly when registered
    }
    void TearDown() override {
        if (window_ != nullptr && IsWindow(window_)) {
            EndSaverRun(host_.framework, window_);
        }
        if (parent_ != nullptr) {
            DestroyWindow(parent_);
        }
        Pump(20);
        DeleteShowDisplay(host_.binding);
        hostUnderTest = nullptr;
    }
    // A full-screen saver window over kCover, started as RunSaverWindow starts one.
    HWND OpenFullScreen() {
        host_.framework.previewMode = false;
        const PendingWindow promise(host_, kSaverProc);
        window_ = CreateWindowExA(WS_EX_TOPMOST, kSaverClassName, "Saver Under Test",
                                  WS_POPUP | WS_VISIBLE, kCover.left, kCover.top, kCover.right,
                                  kCover.bottom, nullptr, nullptr, host_.framework.saverInstance,
                                  nullptr);
        windowUnderTest = window_;
        return window_;
    }
    // The same, shown only once the settings have sound on and the title off, whatever the
    // prefix's registry holds: the telephone trace's cues come within the first frames.
    HWND OpenFullScreenWithSound() {
        host_.framework.previewMode = false;
        const PendingWindow promise(host_, kSaverProc);
        window_ = CreateWindowExA(WS_EX_TOPMOST, kSaverClassName, "Saver Under Test", WS_POPUP,
                                  kCover.left, kCover.top, kCover.right, kCover.bottom, nullptr,
                                  nullptr, host_.framework.saverInstance, nullptr);
        host_.binding.show.settings.soundEnabled = true;
        host_.binding.show.settings.titleEnabled = false;
        ShowWindow(window_, SW_SHOW);
        windowUnderTest = window_;
        return window_;
    }
    HWND OpenPreview(int width, int height) {
        parent_ = CreateWindowExA(0, "STATIC", "parent", WS_POPUP | WS_VISIBLE, 400, 300, width,
                                  height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        RECT area{};
        GetClientRect(parent_, &area);
        host_.framework.previewMode = true;
        const PendingWindow promise(host_, kSaverProc);
        window_ =
            CreateWindowExA(0, kSaverClassName, "Preview", WS_CHILD | WS_VISIBLE, 0, 0, area.right,
                            area.bottom, parent_, nullptr, host_.framework.saverInstance, nullptr);
        windowUnderTest = window_;
        return window_;
    }
    // The monitors and the desktop mode the run reads, at its start and at a display change.
    void UseFakeDisplay(std::vector<MonitorArea> monitors, DesktopMode mode) {
        fakeMonitors = std::move(monitors);
        fakeMode = mode;
        host_.framework.listMonitors = &ListFakeMonitors;
        host_.binding.queryDesktopMode = &QueryFakeMode;
    }
    bool DisplayReady() const { return DirectDrawDisplay(host_.binding) != nullptr; }
    void PastGrace() { Sleep(kVerifyGraceMilliseconds + 50); }

    PasswordValueSetAside passwordValue_;
    SaverWindow host_;
    HWND window_ = nullptr;
    HWND parent_ = nullptr;
};

// --- The framework's own password path, with the show's password flag off.

TEST_F(SaverWindowTest,
       FrameworkAsksTheVerifierHeldForTheRunWithFramesPausedAndClosesOnAcceptance) {
    host_.framework.onWindows9x = host_.gate.onWindows9x = true;
    host_.gate.heldVerifier = &FakeVerify;
    ASSERT_NE(OpenFullScreen(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return DisplayReady(); }));

    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(seen.verifications, 1);
    // The close request and the key sent while it asked were not a second request.
    EXPECT_EQ(seen.closesSentWhileVerifying, 1);
    MSG queued;
    EXPECT_FALSE(PeekMessageA(&queued, window_, WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_FALSE(host_.gate.closeAllowed);
    EXPECT_FALSE(host_.gate.promptUp);
    EXPECT_EQ(seen.framesDuringPrompt, 0);

    PastGrace();
    verifyAnswer = TRUE;
    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(seen.verifications, 2);
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_TRUE(QuitQueued());
}

TEST_F(SaverWindowTest, FrameworkRefusesCloseRequestsForTwoHundredMillisecondsAfterAVerification) {
    host_.framework.onWindows9x = host_.gate.onWindows9x = true;
    host_.gate.heldVerifier = &FakeVerify;
    ASSERT_NE(OpenFullScreen(), nullptr);

    SendMessageA(window_, WM_CLOSE, 0, 0);
    ASSERT_EQ(seen.verifications, 1);
    // Queued input right after the refusal: answered with the last verdict, not asked again.
    verifyAnswer = TRUE;
    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(seen.verifications, 1);
    EXPECT_TRUE(IsWindow(window_));

    PastGrace();
    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(seen.verifications, 2);
    EXPECT_FALSE(IsWindow(window_));
}

TEST_F(SaverWindowTest, FrameworkWithoutAVerifierClosesOnTheFirstRequest) {
    host_.framework.onWindows9x = host_.gate.onWindows9x = true;
    ASSERT_NE(OpenFullScreen(), nullptr);
    SendMessageA(window_, WM_KEYDOWN, 'A', 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window_); }));
    EXPECT_TRUE(host_.gate.closeAllowed);
}

// --- Set-ups whose notices provoke a close.

TEST_F(SaverWindowTest, ACloseDuringTheSetUpsNoticesWaitsUntilTheSetUpHasEnded) {
    host_.binding.displayPlatform.directDrawCreate = &RefuseDirectDraw;
    host_.binding.displayPlatform.notify = &CloseFromNotice;
    ASSERT_NE(OpenFullScreen(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window_); }))
        << "the deferred close was never carried out";
    // Same texts in the same order, none shown twice, nothing reachable while they waited.
    EXPECT_EQ(seen.notices, (std::vector<std::string>{"Create not Successful", "NO SPRITES"}));
    EXPECT_EQ(seen.creates, 1);
    EXPECT_FALSE(seen.displayReachableDuringNotice);
    EXPECT_FALSE(seen.windowGoneDuringNotice);
    EXPECT_EQ(DirectDrawDisplay(host_.binding), nullptr);
}

// A notice during which the desktop changes its mode, the first time.
void ChangeModeFromNotice(HWND owner, const char* text) {
    seen.notices.emplace_back(text);
    seen.inNotice = true;
    if (fakeMode.width == 320) {
        fakeMonitors = {{{0, 0, 400, 288}, true}};
        fakeMode = {400, 288, 32};
        SendMessageA(owner, WM_DISPLAYCHANGE, 32, MAKELPARAM(400, 288));
    }
    Pump(30);
    seen.inNotice = false;
}

TEST_F(SaverWindowTest, AModeChangeDuringTheSetUpsNoticesIsSetUpOnceThatSetUpHasEnded) {
    host_.binding.displayPlatform.directDrawCreate = &RefuseDirectDraw;
    host_.binding.displayPlatform.notify = &ChangeModeFromNotice;
    UseFakeDisplay({{{0, 0, 320, 240}, true}}, {320, 240, 32});
    ASSERT_NE(OpenFullScreen(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return seen.creates == 2 && GdiPages(host_.binding) != nullptr; }))
        << "the new mode was never set up";
    EXPECT_EQ(seen.createsDuringNotice, 0);
    const MemoryDisplay& pages = GdiPages(host_.binding)->pages;
    EXPECT_EQ(pages.primarySurface.width, 400);
    EXPECT_EQ(pages.primarySurface.height, 288);
    EXPECT_EQ(host_.binding.show.grid->cols, 25);
    EXPECT_EQ(host_.binding.show.grid->rows, 12);
}

TEST_F(SaverWindowTest, WithARefusedPasswordNoSetUpRunsInsideAnother) {
    testing::SystemVerifier verifier;
    ASSERT_TRUE(verifier.Install());
    host_.gate.required = true;
    host_.binding.displayPlatform.directDrawCreate = &CreateCooperativeOnly;
    host_.binding.displayPlatform.notify = &CloseFromNotice;
    ASSERT_NE(OpenFullScreen(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return verifier.TimesAsked() >= 1; }))
        << "the deferred close never reached the verifier";
    Pump(300);
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_EQ(seen.createsDuringNotice, 0);
    EXPECT_FALSE(seen.displayReachableDuringNotice);
    EXPECT_FALSE(seen.windowGoneDuringNotice);
    // The set-up ran whole: DirectDraw gave no pages, so the show holds the GDI display and
    // no DirectDraw object is left to set up again.
    EXPECT_EQ(DirectDrawDisplay(host_.binding), nullptr);
    ASSERT_NE(GdiPages(host_.binding), nullptr);
    EXPECT_EQ(host_.binding.show.display, GdiPages(host_.binding));
    EXPECT_EQ(seen.creates, 1);
    EXPECT_FALSE(host_.binding.settingUpDisplay);
}

// --- A failure inside the show.

TEST_F(SaverWindowTest, AnAllocationFailureAfterARefusalKeepsTheWindowAndThePasswordGate) {
    testing::SystemVerifier verifier;
    ASSERT_TRUE(verifier.Install());
    host_.gate.required = true;
    seen.throwOnCreate = 2;  // the set-up that follows the refused prompt
    ASSERT_NE(OpenFullScreen(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return DisplayReady(); }));

    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(verifier.TimesAsked(), 1);
    EXPECT_EQ(seen.creates, 2);
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_TRUE(host_.window.showFailed);
    EXPECT_EQ(host_.binding.show.display, nullptr);
    EXPECT_EQ(live.count, 0);  // the black screen holds no DirectDraw object
    Pump(100);                 // frames keep coming without a display

    PastGrace();
    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(verifier.TimesAsked(), 2);
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_EQ(seen.creates, 2);  // no further set-up after the failure

    PastGrace();
    testing::SystemVerifier::Answer("1");
    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window_));
}

// --- Sound.

TEST_F(SaverWindowTest, TheSoundIsReadyBeforeTheDisplayAndADeviceThatNeverAnswersStopsNothing) {
    testing::SystemVerifier verifier;
    ASSERT_TRUE(verifier.Install());
    host_.gate.required = true;
    host_.binding.sound.finishMilliseconds = 50;
    soundRecord->hangIn = "write 0 loop";  // the trace's first cue never comes back
    ASSERT_NE(OpenFullScreenWithSound(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return DisplayReady(); }));
    EXPECT_EQ(seen.soundCallsAtFirstCreate,
              (std::vector<std::string>{"open 11025", "prepare 0", "prepare 1", "prepare 2",
                                        "prepare 3", "prepare 4", "write 4", "reset"}));
    ASSERT_TRUE(PumpUntil([&] {
        const std::lock_guard lock(soundRecord->mutex);
        return soundRecord->hanging;
    }));

    // Frames go on, with the trace's stops and loops handed over all the while.
    const int32_t tick = host_.window.tickCounter;
    EXPECT_TRUE(PumpUntil([&] { return host_.window.tickCounter > tick + 60; }));
    for (int i = 0; i < 100; ++i) {
        host_.binding.sound.Stop();
        host_.binding.sound.Play(kKeyClickSound, false);
    }
    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(verifier.TimesAsked(), 1);
    PastGrace();
    testing::SystemVerifier::Answer("1");
    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window_));

    // The player that was left behind still closes its device once the device answers.
    soundRecord->Release();
    EXPECT_TRUE(soundRecord->WaitUntil([](const auto& r) { return r.calls.back() == "close"; }));
}

// --- Forged messages.

TEST_F(SaverWindowTest, ForgedDestroyAndSetUpRequestsLeaveTheRunAlone) {
    ASSERT_NE(OpenFullScreen(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return DisplayReady(); }));
    ASSERT_NE(host_.binding.show.grid, nullptr);
    DisplayDevice* device = DirectDrawDisplay(host_.binding);

    SendMessageA(window_, WM_DESTROY, 0, 0);
    SendMessageA(window_, WM_NCDESTROY, 0, 0);
    PostMessageA(window_, WM_DESTROY, 0, 0);
    SendMessageA(window_, kSetUpDisplayRequest, 0, 0);
    PostMessageA(window_, kSetUpDisplayRequest, 0, 0);
    Pump(100);

    EXPECT_TRUE(IsWindow(window_));
    EXPECT_FALSE(QuitQueued());
    EXPECT_NE(host_.binding.show.grid, nullptr);
    EXPECT_EQ(DirectDrawDisplay(host_.binding), device);
    EXPECT_EQ(seen.creates, 1);
}

TEST_F(SaverWindowTest, WithAPasswordAForgedSystemCommandCannotUncoverTheDesktop) {
    host_.framework.onWindows9x = host_.gate.onWindows9x = true;
    host_.gate.heldVerifier = &FakeVerify;
    ASSERT_NE(OpenFullScreen(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return DisplayReady(); }));
    // The low bits are the platform's own; a forged command may set them all the same.
    SendMessageA(window_, WM_SYSCOMMAND, SC_MINIMIZE | 3, 0);
    EXPECT_FALSE(IsIconic(window_));
    SendMessageA(window_, WM_SYSCOMMAND, SC_MAXIMIZE | 1, 0);
    EXPECT_FALSE(IsZoomed(window_));
    EXPECT_EQ(seen.verifications, 0);
    // A close command is a close request like any other: the password is asked.
    SendMessageA(window_, WM_SYSCOMMAND, SC_CLOSE | 2, 0);
    EXPECT_TRUE(PumpUntil([&] { return seen.verifications == 1; }));
    EXPECT_TRUE(IsWindow(window_));
}

std::atomic<int> focusesBelow{0};
LRESULT CALLBACK WindowBelowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    focusesBelow += message == WM_SETFOCUS ? 1 : 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(SaverWindowTest, HidingMovingAndMinimisingAreTurnedBack) {
    // Locked: losing activation on the way asks for a password that is refused.
    host_.framework.onWindows9x = host_.gate.onWindows9x = true;
    host_.gate.heldVerifier = &FakeVerify;
    // Another program's window below, whose thread gets round to its messages only when let:
    // an activation handed to it waits until then, and under Wine it then raises its window
    // over ours, topmost or not, though we took the foreground back meanwhile.
    std::atomic<int> belowStage{0};
    focusesBelow = 0;
    std::jthread below([&](const std::stop_token& stop) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = WindowBelowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KorvaneWindowBelow";
        RegisterClassA(&windowClass);
        HWND other = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 320, 240,
                                     nullptr, nullptr, windowClass.hInstance, nullptr);
        ShowWindow(other, SW_SHOWNOACTIVATE);
        belowStage = 1;
        while (belowStage == 1 && !stop.stop_requested()) {
            Sleep(5);
        }
        Pump(50);
        DestroyWindow(other);
        belowStage = 3;
    });
    PumpUntil([&] { return belowStage == 1; });
    ASSERT_NE(OpenFullScreen(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return DisplayReady(); }));
    SetForegroundWindow(window_);
    ASSERT_EQ(GetForegroundWindow(), window_);
    const auto covered = [&] {
        RECT area{};
        GetWindowRect(window_, &area);
        return IsWindowVisible(window_) && !IsIconic(window_) && EqualRect(&area, &kCover) &&
               (GetWindowLongPtrA(window_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    };
    ShowWindow(window_, SW_HIDE);
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == window_; }));
    belowStage = 2;
    PumpUntil([&] { return belowStage == 3; });
    EXPECT_EQ(focusesBelow, 0) << "the refused hide handed the activation to the window below";
    SetWindowPos(window_, HWND_NOTOPMOST, 50, 60, 70, 80, 0);
    EXPECT_TRUE(covered());
    ShowWindow(window_, SW_MINIMIZE);
    EXPECT_TRUE(PumpUntil(covered, 2000));
    // Our own close path still ends it.
    EndSaverRun(host_.framework, window_);
    EXPECT_FALSE(IsWindow(window_));
}

// --- The preview is chosen by the switch, never by its size.

TEST_F(SaverWindowTest, APreviewWiderThanTwoHundredPixelsDrawsItsFigureAndNothingElse) {
    for (const SIZE size : {SIZE{152, 112}, SIZE{228, 168}, SIZE{304, 224}}) {
        seen = Observed{};
        ASSERT_NE(OpenPreview(size.cx, size.cy), nullptr);
        host_.window.tickCounter = 0;
        ASSERT_TRUE(PumpUntil([&] { return host_.window.tickCounter >= 5; }));
        RECT area{};
        GetClientRect(window_, &area);
        EXPECT_EQ(area.right, size.cx);
        EXPECT_EQ(area.bottom, size.cy);
        EXPECT_EQ(seen.creates, 0) << size.cx;
        EXPECT_TRUE(soundRecord->Calls().empty()) << size.cx;
        EXPECT_EQ(host_.binding.show.grid, nullptr);
        EXPECT_TRUE(seen.notices.empty());
        // The figure of the last tick lies inside the child and is green.
        int inside = 0;
        for (const PreviewPixel& pixel : host_.window.previewPixels) {
            inside += pixel.x >= 0 && pixel.x < size.cx && pixel.y >= 0 && pixel.y < size.cy;
        }
        EXPECT_GT(inside, kPreviewPoints) << size.cx;
        DestroyWindow(parent_);  // takes the preview with it, as the settings panel does
        parent_ = nullptr;
        EXPECT_FALSE(IsWindow(window_));
        EXPECT_TRUE(QuitQueued());
        Pump(10);
        host_.window = SaverWindowState{};
    }
}

TEST_F(SaverWindowTest, AFullScreenRunOfPreviewSizeStillOpensTheDisplay) {
    ASSERT_NE(OpenFullScreen(), nullptr);  // 320 pixels wide, the switch says full screen
    ASSERT_TRUE(PumpUntil([&] { return DisplayReady(); }));
    EXPECT_EQ(seen.creates, 1);
    EXPECT_NE(host_.binding.show.grid, nullptr);
}

// --- One full-screen run owns the running flag.

std::vector<bool> announced;
void RecordAnnouncement(bool on) {
    announced.push_back(on);
}
bool ClaimTaken(HANDLE&) {
    return false;
}

TEST(FullScreenClaim, OnlyOneHolderAtATimeAndFreeAgainOnceGiven) {
    HANDLE mine = nullptr;
    ASSERT_TRUE(ClaimFullScreenRun(mine));
    ASSERT_NE(mine, nullptr);
    bool otherGotIt = true;
    std::thread([&] {
        HANDLE theirs = nullptr;
        otherGotIt = ClaimFullScreenRun(theirs);
    }).join();
    EXPECT_FALSE(otherGotIt);
    ReleaseMutex(mine);
    CloseHandle(mine);
    std::thread([&] {
        HANDLE theirs = nullptr;
        otherGotIt = ClaimFullScreenRun(theirs);
        if (theirs != nullptr) {
            ReleaseMutex(theirs);
            CloseHandle(theirs);
        }
    }).join();
    EXPECT_TRUE(otherGotIt);
}

// A window of the saver's class and full-screen title, as a running saver or a squatter would
// show it: made by this program, with no object of ours behind it.
class SaverClassWindow {
  public:
    SaverClassWindow(DWORD extendedStyle, bool visible) {
        RegisterSaverClass(GetModuleHandleA(nullptr));
        window_ = CreateWindowExA(extendedStyle, kSaverClassName, kFullScreenTitle,
                                  WS_POPUP | (visible ? WS_VISIBLE : 0), 0, 0, 32, 32, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~SaverClassWindow() { DestroyWindow(window_); }
    SaverClassWindow(const SaverClassWindow&) = delete;
    SaverClassWindow& operator=(const SaverClassWindow&) = delete;

  private:
    HWND window_;
};

TEST(FullScreenClaim, ASecondStartLeavesAtOnceAndNeverTouchesTheRunningFlag) {
    const SaverClassWindow running(WS_EX_TOPMOST, true);
    SaverWindow host;
    host.framework.saverInstance = GetModuleHandleA(nullptr);
    host.framework.onWindows9x = true;
    host.framework.claimFullScreen = &ClaimTaken;
    host.gate.running.announce = &RecordAnnouncement;
    announced.clear();
    EXPECT_EQ(RunSaverWindow(host, nullptr), 0);
    EXPECT_FALSE(host.framework.ownsFullScreenRun);
    EXPECT_EQ(WindowsInTable(), 0u);
    // Its end, a crash included, must not clear the flag that the first run set.
    host.gate.running.Set(true);
    host.gate.running.Set(false);
    EXPECT_TRUE(announced.empty());
}

TEST(FullScreenClaim, AStartDefersOnlyToAVisibleTopmostSaverWindowOfThisProgram) {
    SaverFramework framework;
    framework.claimFullScreen = &ClaimTaken;  // held, by whoever it may be
    framework.findRunningMilliseconds = 0;
    const auto locks = [&] {
        const bool took = TakeFullScreenRun(framework);
        const bool owns = framework.ownsFullScreenRun;
        ReleaseFullScreenRun(framework);
        return took && owns;
    };
    EXPECT_TRUE(locks()) << "the claim alone";
    {
        const SaverClassWindow hidden(WS_EX_TOPMOST, false);
        EXPECT_TRUE(locks()) << "a hidden window";
    }
    {
        const SaverClassWindow below(0, true);
        EXPECT_TRUE(locks()) << "a window that is not topmost";
    }
    // This test program is the file that made it, as a saver run from the same file would be.
    const SaverClassWindow running(WS_EX_TOPMOST, true);
    EXPECT_FALSE(locks());
}

TEST(FullScreenClaim, TheOwnerSetsTheFlagOnceAndTakesItBackOnce) {
    RunningFlag flag;
    flag.onWindows9x = true;
    flag.ownsFullScreenRun = true;
    flag.announce = &RecordAnnouncement;
    announced.clear();
    flag.Set(true);
    flag.Set(true);
    flag.Set(false);
    flag.Set(false);
    EXPECT_EQ(announced, (std::vector<bool>{true, false}));
    // Set again only while it is ours, and only on Windows 9x.
    flag.Reassert();
    EXPECT_EQ(announced.size(), 2u);
    RunningFlag later;
    later.ownsFullScreenRun = true;
    later.announce = &RecordAnnouncement;
    later.Set(true);
    later.Reassert();
    EXPECT_EQ(announced.size(), 2u);
}

// --- The lock against other programs.

TEST_F(SaverWindowTest, WhatCannotBeRefusedBeforehandIsUndoneAtOnce) {
    // Locked, so that losing the activation on the way only asks, and is refused.
    host_.framework.onWindows9x = host_.gate.onWindows9x = true;
    host_.gate.heldVerifier = &FakeVerify;
    ASSERT_NE(OpenFullScreen(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return DisplayReady(); }));
    // Each change is undone within the call that made it: no message is left to wait for.
    SetWindowRgn(window_, CreateRectRgn(0, 0, 0, 0), TRUE);
    const GdiObject<HRGN> region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(window_, region.get()), ERROR);

    const LONG_PTR style = GetWindowLongPtrA(window_, GWL_STYLE);
    const LONG_PTR extended = GetWindowLongPtrA(window_, GWL_EXSTYLE);
    SetWindowLongPtrA(window_, GWL_EXSTYLE, extended | WS_EX_LAYERED | WS_EX_TRANSPARENT);
    SetWindowLongPtrA(window_, GWL_STYLE, (style & ~WS_VISIBLE) | WS_DISABLED | WS_CHILD);
    EXPECT_EQ(GetWindowLongPtrA(window_, GWL_EXSTYLE), extended);
    EXPECT_EQ(GetWindowLongPtrA(window_, GWL_STYLE), style);

    EnableWindow(window_, FALSE);
    EXPECT_TRUE(IsWindowEnabled(window_));

    HWND box = CreateWindowExA(0, "STATIC", "box", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    SetParent(window_, box);
    EXPECT_EQ(GetAncestor(window_, GA_PARENT), GetDesktopWindow());
    RECT area{};
    GetWindowRect(window_, &area);
    EXPECT_TRUE(EqualRect(&area, &kCover));
    EXPECT_TRUE(IsWindowVisible(window_));
    DestroyWindow(box);
    EXPECT_TRUE(IsWindow(window_));
}

BOOL WINAPI VerifyAsADialogDoes(HWND owner) {
    ++seen.verifications;
    EnableWindow(owner, FALSE);  // as a modal dialog does to its owner
    Pump(4 * kLockCheckMilliseconds);
    seen.ownerDisabledDuringPrompt = !IsWindowEnabled(owner);
    return FALSE;  // and, unlike a dialog, leaves it disabled
}

TEST_F(SaverWindowTest, OnlyOurOwnPromptMayDisableTheSaverWindow) {
    host_.framework.onWindows9x = host_.gate.onWindows9x = true;
    host_.gate.heldVerifier = &VerifyAsADialogDoes;
    ASSERT_NE(OpenFullScreen(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return DisplayReady(); }));
    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(seen.verifications, 1);
    EXPECT_TRUE(seen.ownerDisabledDuringPrompt);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(window_) != FALSE; }, 1000));
}

TEST_F(SaverWindowTest, OnWindows9xTheLockCheckSetsTheRunningFlagAgain) {
    host_.gate.running.onWindows9x = true;
    host_.gate.running.ownsFullScreenRun = true;
    host_.gate.running.announce = &RecordAnnouncement;
    announced.clear();
    host_.gate.running.Set(true);
    ASSERT_NE(OpenFullScreen(), nullptr);
    Pump(5 * kLockCheckMilliseconds);
    EXPECT_GE(std::count(announced.begin(), announced.end(), true), 3)
        << "set once, then again by the checks";
    EndSaverRun(host_.framework, window_);
    host_.gate.running.Set(false);
}

std::vector<UINT> foregroundLocks;
BOOL WINAPI RecordForegroundLock(UINT code) {
    foregroundLocks.push_back(code);
    return TRUE;
}

TEST_F(SaverWindowTest, TakingTheForegroundBackLocksItWhereTheSystemCan) {
    EXPECT_NE(ResolveForegroundLock(), nullptr);  // Wine has it, as Windows 98 and 2000 on do
    ASSERT_NE(OpenFullScreen(), nullptr);
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 8, 8, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    SystemLockWorld world;
    foregroundLocks.clear();
    world.lockForeground = &RecordForegroundLock;
    SetForegroundWindow(other);
    world.TakeForeground(LockIdOf(window_));
    EXPECT_EQ(GetForegroundWindow(), window_);
    EXPECT_EQ(foregroundLocks, std::vector<UINT>{LSFW_LOCK});
    // A system without the lock still gets the foreground back.
    world.lockForeground = nullptr;
    SetForegroundWindow(other);
    world.TakeForeground(LockIdOf(window_));
    EXPECT_EQ(GetForegroundWindow(), window_);
    EXPECT_EQ(foregroundLocks.size(), 1u);
    DestroyWindow(other);
}

int forgedTimerCalls = 0;
void CALLBACK ForgedTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    ++forgedTimerCalls;
}
std::vector<std::pair<UINT, WPARAM>> arrived;
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER || message == WM_SHOWWINDOW || message == WM_ACTIVATEAPP ||
        message == WM_USER) {
        arrived.emplace_back(message, wParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(PostedMessageFilter, DropsTimerProceduresAndPostedCopiesOfSystemMessagesOnly) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KorvaneRecordingWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 8, 8, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    const LPARAM procedure = reinterpret_cast<LPARAM>(&ForgedTimerProc);
    const auto forge = [&] {
        PostMessageA(window, WM_TIMER, 1, procedure);
        PostMessageA(window, 0x0118 /* WM_SYSTIMER */, 1, procedure);
        PostThreadMessageA(GetCurrentThreadId(), WM_TIMER, 1, procedure);
        PostMessageA(window, WM_SHOWWINDOW, FALSE, 0);
        PostMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
    };
    forgedTimerCalls = 0;
    arrived.clear();
    {
        PostedMessageFilter filter;
        ASSERT_TRUE(filter.Install());
        forge();
        PostMessageA(window, WM_USER, 0, 0);
        SetTimer(window, 7, 10, nullptr);
        Pump(100);
        KillTimer(window, 7);
    }
    EXPECT_EQ(forgedTimerCalls, 0);
    EXPECT_EQ(std::count(arrived.begin(), arrived.end(), std::pair<UINT, WPARAM>{WM_USER, 0}), 1);
    EXPECT_GE(std::count(arrived.begin(), arrived.end(), std::pair<UINT, WPARAM>{WM_TIMER, 7}), 1);
    EXPECT_EQ(arrived.size() -
                  std::count(arrived.begin(), arrived.end(), std::pair<UINT, WPARAM>{WM_TIMER, 7}),
              1u);
    // Without the filter the same forgeries are dispatched: the timer procedures to the window
    // and to the thread run (Wine calls none for WM_SYSTIMER).
    forge();
    Pump(50);
    EXPECT_EQ(forgedTimerCalls, 2);
    DestroyWindow(window);
}

// --- Refused prompts leave no DirectDraw object behind.

TEST_F(SaverWindowTest, RefusedPromptsKeepTheNumberOfLiveDirectDrawObjectsFlat) {
    testing::SystemVerifier verifier;
    ASSERT_TRUE(verifier.Install());
    host_.gate.required = true;
    ASSERT_NE(OpenFullScreen(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return DisplayReady(); }));
    const int afterSetUp = live.count;
    ASSERT_GT(afterSetUp, 0);
    for (int refusal = 1; refusal <= 20; ++refusal) {
        host_.gate.lastVerifyTick = kNoVerificationYet;  // a request past the grace period
        EXPECT_FALSE(host_.gate.AllowsClose(window_, host_));
        ASSERT_EQ(live.count, afterSetUp) << "after refusal " << refusal;
    }
    EXPECT_EQ(verifier.TimesAsked(), 20);
    EndSaverRun(host_.framework, window_);
    EXPECT_EQ(live.count, 0);
}

// --- Without DirectDraw, and on the monitors beside the primary.

bool AnyPixelLit(const MemorySurface& page) {
    for (const uint8_t byte : page.bytes) {
        if (byte != 0) {
            return true;
        }
    }
    return false;
}

TEST_F(SaverWindowTest, WithoutDirectDrawTheNoticesAreFollowedByTheShowOnGdiPages) {
    testing::SystemVerifier verifier;
    ASSERT_TRUE(verifier.Install());
    host_.gate.required = true;
    host_.binding.displayPlatform.directDrawCreate = &RefuseDirectDraw;
    ASSERT_NE(OpenFullScreen(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return GdiPages(host_.binding) != nullptr; }))
        << "no GDI display after the notices";
    EXPECT_EQ(seen.notices, (std::vector<std::string>{"Create not Successful", "NO SPRITES"}));
    EXPECT_EQ(DirectDrawDisplay(host_.binding), nullptr);
    EXPECT_EQ(host_.binding.show.display, GdiPages(host_.binding));
    const MemoryDisplay& pages = GdiPages(host_.binding)->pages;
    // The desktop's size, as DirectDraw's pages would have had.
    EXPECT_EQ(pages.primarySurface.width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(pages.primarySurface.height, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(pages.primarySurface.bytesPerPixel, 4);
    ASSERT_TRUE(PumpUntil([&] { return AnyPixelLit(pages.primarySurface); }))
        << "the show drew nothing on its pages";

    // A refusal neither tries DirectDraw again nor repeats the notices; the show goes on.
    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(verifier.TimesAsked(), 1);
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_EQ(seen.creates, 1);
    EXPECT_EQ(seen.notices.size(), 2u);
    ASSERT_NE(GdiPages(host_.binding), nullptr);
    const int32_t tick = host_.window.tickCounter;
    EXPECT_TRUE(PumpUntil([&] { return host_.window.tickCounter > tick + 3; }));

    PastGrace();
    testing::SystemVerifier::Answer("1");
    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_EQ(GdiPages(host_.binding), nullptr);
}

TEST_F(SaverWindowTest, ANewModeWithoutDirectDrawGetsGdiPagesOfItsSizeWithoutTheNoticesAgain) {
    host_.binding.displayPlatform.directDrawCreate = &RefuseDirectDraw;
    UseFakeDisplay({{{0, 0, 320, 240}, true}}, {320, 240, 32});
    ASSERT_NE(OpenFullScreen(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return GdiPages(host_.binding) != nullptr; }));

    fakeMonitors = {{{0, 0, 400, 288}, true}};
    fakeMode = {400, 288, 16};
    SendMessageA(window_, WM_DISPLAYCHANGE, 16, MAKELPARAM(400, 288));
    ASSERT_NE(GdiPages(host_.binding), nullptr);
    const MemoryDisplay& pages = GdiPages(host_.binding)->pages;
    EXPECT_EQ(pages.primarySurface.width, 400);
    EXPECT_EQ(pages.primarySurface.height, 288);
    EXPECT_EQ(host_.binding.show.display, GdiPages(host_.binding));
    EXPECT_EQ(host_.binding.show.grid->cols, 25);
    EXPECT_EQ(host_.binding.show.grid->rows, 12);
    EXPECT_EQ(seen.creates, 1);
    EXPECT_EQ(seen.notices.size(), 2u);
    ASSERT_TRUE(PumpUntil([&] { return AnyPixelLit(pages.primarySurface); }));
}

class MonitorCoversTest : public SaverWindowTest {
  protected:
    static constexpr ScreenRect kLeft{400, 300, 720, 540};    // 20 x 10 cells
    static constexpr ScreenRect kRight{720, 300, 1000, 500};  // 17 x 8 cells, partly empty
    void SetUp() override {
        SaverWindowTest::SetUp();
        host_.framework.otherMonitors = {{kLeft, 1, 20, 10}, {kRight, 2, 17, 8}};
    }
    std::vector<HWND> CoverWindows() const {
        std::vector<HWND> windows;
        for (const auto& monitor : host_.covers.monitors) {
            windows.push_back(monitor->window);
        }
        return windows;
    }
};

TEST_F(MonitorCoversTest, EachMonitorIsCoveredAndRainsWithItsOwnGenerator) {
    ASSERT_NE(OpenFullScreen(), nullptr);
    ASSERT_EQ(host_.covers.monitors.size(), 2u);
    for (const auto& monitor : host_.covers.monitors) {
        SCOPED_TRACE(monitor->cover.number);
        HWND cover = monitor->window;
        ASSERT_TRUE(IsWindow(cover));
        char className[64] = "";
        char title[64] = "";
        GetClassNameA(cover, className, sizeof className);
        GetWindowTextA(cover, title, sizeof title);
        EXPECT_STREQ(className, kMonitorCoverClassName);
        EXPECT_STREQ(title, kMonitorCoverTitle);
        RECT area{};
        GetWindowRect(cover, &area);
        const RECT expected = ToRect(monitor->cover.area);
        EXPECT_TRUE(EqualRect(&area, &expected));
        const LONG_PTR extended = GetWindowLongPtrA(cover, GWL_EXSTYLE);
        EXPECT_NE(extended & WS_EX_TOPMOST, 0);
        EXPECT_NE(extended & WS_EX_NOACTIVATE, 0);
        EXPECT_TRUE(IsWindowVisible(cover));
        EXPECT_NE(GetForegroundWindow(), cover);
        ASSERT_NE(monitor->rain, nullptr);
        EXPECT_EQ(monitor->page.width, monitor->cover.area.Width());
        EXPECT_EQ(monitor->page.height, monitor->cover.area.Height());
        EXPECT_EQ(monitor->rain->grid.cols, monitor->cover.cols);
        EXPECT_EQ(monitor->rain->grid.rows, monitor->cover.rows);
    }
    ASSERT_TRUE(PumpUntil([&] {
        return AnyPixelLit(host_.covers.monitors[0]->page) &&
               AnyPixelLit(host_.covers.monitors[1]->page);
    })) << "a cover drew no falling code";
    // Another's window search finds the saver window, never a cover.
    EXPECT_EQ(FindWindowA(kSaverClassName, nullptr), window_);
    EXPECT_NE(host_.covers.monitors[0]->rain->random.seed(),
              host_.covers.monitors[1]->rain->random.seed());
}

TEST_F(MonitorCoversTest, CoversTurnBackHidingAndMovingAndGoWithTheSaverOnAClick) {
    ASSERT_NE(OpenFullScreen(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return DisplayReady(); }));
    const std::vector<HWND> covers = CoverWindows();
    ASSERT_EQ(covers.size(), 2u);
    HWND first = covers[0];
    const RECT expected = ToRect(kLeft);
    const auto covered = [&] {
        RECT area{};
        GetWindowRect(first, &area);
        return IsWindowVisible(first) && !IsIconic(first) && EqualRect(&area, &expected) &&
               (GetWindowLongPtrA(first, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    };
    ShowWindow(first, SW_HIDE);
    SetWindowPos(first, HWND_NOTOPMOST, 10, 20, 30, 40, 0);
    ShowWindow(first, SW_MINIMIZE);
    SendMessageA(first, WM_CLOSE, 0, 0);
    SendMessageA(first, WM_DESTROY, 0, 0);
    EXPECT_TRUE(PumpUntil(covered, 2000));
    EXPECT_TRUE(IsWindow(window_));

    // A click on a cover ends the run through the saver window's close path.
    SendMessageA(covers[1], WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window_); }));
    for (HWND cover : covers) {
        EXPECT_FALSE(IsWindow(cover));
    }
    EXPECT_TRUE(host_.covers.monitors.empty());
}

TEST_F(MonitorCoversTest, PointerMovesOverACoverAddUpAndCloseOnlyPastFourPixels) {
    ASSERT_NE(OpenFullScreen(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return DisplayReady(); }));
    HWND cover = CoverWindows().at(0);
    const CursorPoint start = host_.framework.mouse.reference();
    SetCursorPos(start.x + 1, start.y + 3);
    SendMessageA(cover, WM_MOUSEMOVE, 0, 0);
    Pump(100);
    EXPECT_TRUE(IsWindow(window_)) << "four pixels closed the saver";
    SetCursorPos(start.x + 2, start.y + 3);
    SendMessageA(cover, WM_MOUSEMOVE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window_); })) << "five pixels did not close it";
    EXPECT_FALSE(IsWindow(cover));
}

TEST_F(MonitorCoversTest, ADisplayChangeCoversThePrimaryAndTheOtherMonitorsAfresh) {
    UseFakeDisplay({{{0, 0, 320, 240}, true}, {kLeft, false}, {kRight, false}}, {320, 240, 32});
    ASSERT_NE(OpenFullScreen(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return DisplayReady(); }));
    ASSERT_EQ(host_.binding.show.grid->cols, 20);
    const std::vector<HWND> before = CoverWindows();

    // The primary grows, and the monitor at the right goes.
    constexpr RECT kLarger{0, 0, 480, 360};
    fakeMonitors = {{{0, 0, 480, 360}, true}, {kLeft, false}};
    fakeMode = {480, 360, 32};
    SendMessageA(window_, WM_DISPLAYCHANGE, 32, MAKELPARAM(480, 360));
    RECT area{};
    GetWindowRect(window_, &area);
    EXPECT_TRUE(EqualRect(&area, &kLarger));
    EXPECT_TRUE(EqualRect(&host_.framework.coverRect, &kLarger));
    ASSERT_NE(host_.binding.show.grid, nullptr);
    EXPECT_EQ(host_.binding.show.grid->cols, 30);
    EXPECT_EQ(host_.binding.show.grid->rows, 15);
    EXPECT_TRUE(PumpUntil([&] { return seen.creates == 2 && DisplayReady(); }))
        << "no display was set up for the new mode";
    EXPECT_EQ(host_.framework.otherMonitors, (std::vector<MonitorCover>{{kLeft, 1, 20, 10}}));
    EXPECT_EQ(host_.covers.monitors.size(), 1u);
    for (HWND cover : before) {
        EXPECT_FALSE(IsWindow(cover));
    }
    const int32_t tick = host_.window.tickCounter;
    EXPECT_TRUE(PumpUntil([&] { return host_.window.tickCounter > tick + 3; }));

    // A change that changes nothing, or one forged with any values, remakes nothing.
    const CodeGrid* grid = host_.binding.show.grid.get();
    const std::vector<HWND> kept = CoverWindows();
    SendMessageA(window_, WM_DISPLAYCHANGE, 8, MAKELPARAM(640, 480));
    Pump(50);
    EXPECT_EQ(host_.binding.show.grid.get(), grid);
    EXPECT_EQ(seen.creates, 2);
    EXPECT_EQ(CoverWindows(), kept);
    GetWindowRect(window_, &area);
    EXPECT_TRUE(EqualRect(&area, &kLarger));
}

// --- Covers that fail to open: the class, the window or the memory of one monitor.

struct CoverFailures {
    int tries[3] = {};
    int failuresLeft[3] = {};  // the next tries of that monitor that fail
    int32_t throwsFor = 0;     // the monitor whose next try runs out of memory
};
CoverFailures coverFailures;

HWND OpenCoverThatMayFail(MonitorCoverWindow& monitor, HINSTANCE instance) {
    const int32_t number = monitor.cover.number;
    ++coverFailures.tries[number];
    if (std::exchange(coverFailures.throwsFor, 0) == number) {
        throw std::bad_alloc();
    }
    if (coverFailures.failuresLeft[number] > 0) {
        --coverFailures.failuresLeft[number];
        return nullptr;
    }
    return OpenCoverWindow(monitor, instance);
}

class IgnoredInput final : public SaverInput {
  public:
    LRESULT ReactToCoverInput(UINT, WPARAM) override { return 0; }
    bool PromptUp() const override { return false; }
    void CheckLock() override {}
};

class CoverRetryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        coverFailures = CoverFailures{};
        covers_.openWindow = &OpenCoverThatMayFail;
    }
    void TearDown() override { CloseMonitorCovers(covers_); }
    void Open(DWORD now) {
        OpenMonitorCovers(covers_, input_, GetModuleHandleA(nullptr), others_, nullptr, now);
    }
    bool Covered(size_t index) const {
        if (covers_.monitors.size() <= index || covers_.monitors[index] == nullptr) {
            return false;
        }
        HWND window = covers_.monitors[index]->window;
        RECT area{};
        GetWindowRect(window, &area);
        const RECT expected = ToRect(others_[index].area);
        return window != nullptr && IsWindowVisible(window) && EqualRect(&area, &expected);
    }

    const std::vector<MonitorCover> others_ = {{{400, 300, 720, 540}, 1, 20, 10},
                                               {{720, 300, 1000, 500}, 2, 17, 8}};
    IgnoredInput input_;
    MonitorCovers covers_;
};

TEST_F(CoverRetryTest, AnUncoveredMonitorIsTriedAgainOnceASecondUntilItIsCovered) {
    coverFailures.throwsFor = 1;  // memory runs out at the first try, the window at the second
    coverFailures.failuresLeft[1] = 1;
    const DWORD start = 0xFFFFFE00;  // the tick count wraps within the test
    Open(start);
    EXPECT_FALSE(Covered(0));
    EXPECT_TRUE(Covered(1)) << "one monitor's failure kept another from its cover";
    for (DWORD now = start; now != start + kCoverRetryMilliseconds; now += 10) {
        StepMonitorCovers(covers_, others_, now);
    }
    EXPECT_EQ(coverFailures.tries[1], 1);
    StepMonitorCovers(covers_, others_, start + kCoverRetryMilliseconds);
    EXPECT_EQ(coverFailures.tries[1], 2);
    StepMonitorCovers(covers_, others_, start + 2 * kCoverRetryMilliseconds - 1);
    EXPECT_EQ(coverFailures.tries[1], 2);
    StepMonitorCovers(covers_, others_, start + 2 * kCoverRetryMilliseconds);
    EXPECT_EQ(coverFailures.tries[1], 3);
    EXPECT_TRUE(Covered(0));
    // Once every monitor is covered nothing is tried again; the covered one was tried once.
    StepMonitorCovers(covers_, others_, start + 10 * kCoverRetryMilliseconds);
    EXPECT_EQ(coverFailures.tries[1], 3);
    EXPECT_EQ(coverFailures.tries[2], 1);
}

TEST_F(MonitorCoversTest, TheSaversFramesGiveAMonitorWhoseCoverFailedItsCover) {
    coverFailures = CoverFailures{};
    coverFailures.failuresLeft[2] = 1;
    host_.covers.openWindow = &OpenCoverThatMayFail;
    ASSERT_NE(OpenFullScreen(), nullptr);
    ASSERT_EQ(host_.covers.monitors.size(), 2u);
    EXPECT_EQ(host_.covers.monitors[1]->window, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return host_.covers.monitors[1]->window != nullptr; }));
    EXPECT_TRUE(IsWindowVisible(host_.covers.monitors[1]->window));
    EXPECT_EQ(coverFailures.tries[2], 2);
}

}  // namespace
}  // namespace korvane
