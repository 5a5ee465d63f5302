// The player thread under Wine: every device call on that one thread, requests that never wait
// for the device, and devices that hang or refuse.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "host/sound_resources_windows.h"
#include "host/threaded_sound_player_windows.h"
#include "tests/host/fake_wave_device.h"

namespace korvane {
namespace {

std::shared_ptr<testing::FakeWaveRecord> record;
std::unique_ptr<WaveDevice> MakeFake() {
    return std::make_unique<testing::FakeWaveDevice>(record);
}

const std::vector<uint8_t> kSamples(1100, 128);

std::vector<PlayerCue> Cues() {
    std::vector<PlayerCue> cues;
    for (const int32_t id : {kTraceTypingSound, kTraceSearchSound, kKeyClickSound, kTitleMusic}) {
        cues.push_back({id, {kSamples.data(), static_cast<uint32_t>(kSamples.size()), 11025}});
    }
    return cues;
}

bool Called(const testing::FakeWaveRecord& r, const std::string& call) {
    return std::find(r.calls.begin(), r.calls.end(), call) != r.calls.end();
}

class ThreadedSoundPlayerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        record = std::make_shared<testing::FakeWaveRecord>();
        player.makeDevice = &MakeFake;
        player.finishMilliseconds = 100;
        player.warmUpMilliseconds = 0;
    }
    void TearDown() override { record->Release(); }

    ThreadedSoundPlayer player;
};

TEST_F(ThreadedSoundPlayerTest, StartPreparesEverythingAndEveryDeviceCallRunsOnThePlayerThread) {
    player.Start(Cues());
    ASSERT_TRUE(player.Audible());
    // The cues, and silence played until the warm-up is over.
    EXPECT_EQ(record->Calls(),
              (std::vector<std::string>{"open 11025", "prepare 0", "prepare 1", "prepare 2",
                                        "prepare 3", "prepare 4", "write 4", "reset"}));
    player.Play(kTraceSearchSound, true);
    ASSERT_TRUE(record->WaitUntil([](const auto& r) { return Called(r, "write 1 loop"); }));
    player.Play(kKeyClickSound, false);
    ASSERT_TRUE(record->WaitUntil([](const auto& r) { return Called(r, "write 2"); }));
    EXPECT_EQ(record->queued, (std::deque<std::pair<int32_t, bool>>{{2, false}}));
    player.Purge();
    player.Finish();
    EXPECT_FALSE(player.Audible());
    const std::vector<std::string> calls = record->Calls();
    EXPECT_EQ(calls.back(), "close");
    EXPECT_TRUE(record->queued.empty());
    ASSERT_EQ(record->threads.size(), 1u);
    EXPECT_NE(*record->threads.begin(), std::this_thread::get_id());
}

TEST_F(ThreadedSoundPlayerTest, RequestsAndFinishReturnWhileTheDeviceNeverAnswers) {
    record->hangIn = "write 3";
    player.Start(Cues());
    player.Play(kTitleMusic, false);
    ASSERT_TRUE(record->WaitUntil([](const auto& r) { return r.hanging; }));
    // Another thread stands for the window thread, so that a request that waited would show
    // as a failure here rather than as a test that never ends.
    std::atomic<bool> returned{false};
    std::thread window([&] {
        for (int i = 0; i < 1000; ++i) {
            player.Stop();
            player.Play(kTraceTypingSound, true);
            player.Purge();
        }
        player.Finish();
        returned = true;
    });
    for (int i = 0; i < 500 && !returned; ++i) {
        Sleep(10);
    }
    ASSERT_TRUE(returned) << "a request or Finish waited for the hung device";
    window.join();
    // Let go, the player takes only the newest request (the purge) and closes the device.
    record->Release();
    ASSERT_TRUE(record->WaitUntil([](const auto& r) { return Called(r, "close"); }));
    const std::vector<std::string> calls = record->Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "write 0 loop"), 0);
}

TEST_F(ThreadedSoundPlayerTest, ADeviceThatHangsWhileOpeningLeavesTheRunSilent) {
    record->hangIn = "open 11025";
    player.startMilliseconds = 50;
    player.Start(Cues());
    EXPECT_FALSE(player.Audible());
    player.Play(kKeyClickSound, false);
    record->Release();
    // Opened too late, it is closed again and plays no cue.
    ASSERT_TRUE(record->WaitUntil([](const auto& r) { return Called(r, "close"); }));
    EXPECT_FALSE(Called(*record, "write 2"));
}

TEST_F(ThreadedSoundPlayerTest, ADeviceThatWillNotOpenIsAskedOnceForTheWholeRun) {
    record->refuseOpen = true;
    player.Start(Cues());
    EXPECT_FALSE(player.Audible());
    for (int i = 0; i < 100; ++i) {
        player.Play(kKeyClickSound, false);
        player.Stop();
    }
    player.Finish();
    EXPECT_EQ(record->Calls(), (std::vector<std::string>{"open 11025"}));
}

TEST(SoundResources, OurFourSoundsAreReadFromTheProgramsResources) {
    const std::vector<PlayerCue> cues = ReadSoundCues(GetModuleHandleA(nullptr));
    ASSERT_EQ(cues.size(), 4u);
    const int32_t ids[] = {kTraceTypingSound, kTraceSearchSound, kKeyClickSound, kTitleMusic};
    const uint32_t rates[] = {11025, 11025, 48000, 11025};
    for (size_t i = 0; i < cues.size(); ++i) {
        EXPECT_EQ(cues[i].id, ids[i]);
        EXPECT_EQ(cues[i].wave.rate, rates[i]);
        EXPECT_GT(cues[i].wave.count, 0u);
    }
    // A module without them has nothing to play.
    EXPECT_TRUE(ReadSoundCues(GetModuleHandleA("kernel32.dll")).empty());
}

}  // namespace
}  // namespace korvane
