// The sound player's portable pieces: our wave data, the request hand-over and the player that
// carries the show's requests out on a device.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/cue_player.h"
#include "host/cue_request.h"
#include "host/wave_samples.h"
#include "show/frame_tick.h"
#include "show/sound_cues.h"
#include "tests/host/fake_wave_device.h"
#include "tests/show/show_test_support.h"

namespace korvane {
namespace {

using Bytes = std::vector<uint8_t>;

// fmt (PCM, one channel, 11025 Hz, 8 bits), an odd-sized LIST chunk with its pad byte, and
// three samples.
const Bytes kSmallWave{'R',  'I',  'F', 'F', 51,   0,    0, 0, 'W', 'A', 'V', 'E',
                       'f',  'm',  't', ' ', 16,   0,    0, 0, 1,   0,   1,   0,
                       0x11, 0x2B, 0,   0,   0x11, 0x2B, 0, 0, 1,   0,   8,   0,
                       'L',  'I',  'S', 'T', 3,    0,    0, 0, 'a', 'b', 'c', 0,
                       'd',  'a',  't', 'a', 3,    0,    0, 0, 1,   2,   3};

// --- Our wave data.

TEST(WaveSamples, OnlyOneChannelOfEightBitPcmWhoseChunksFitIsRead) {
    const std::optional<WaveSamples> wave = ReadWaveSamples(kSmallWave.data(), kSmallWave.size());
    ASSERT_TRUE(wave.has_value());
    EXPECT_EQ(wave->rate, 11025u);
    EXPECT_EQ(Bytes(wave->data, wave->data + wave->count), (Bytes{1, 2, 3}));

    // One byte changed at a time: not RIFF, no fmt chunk before the data, not PCM, two channels,
    // no rate, 16 bits, more data claimed than there is.
    for (const auto& [at, value] : std::vector<std::pair<size_t, uint8_t>>{
             {0, 'X'}, {12, 'X'}, {20, 3}, {22, 2}, {24, 0}, {34, 16}, {52, 4}}) {
        Bytes bad = kSmallWave;
        bad[at] = value;
        bad[25] = at == 24 ? 0 : bad[25];
        EXPECT_FALSE(ReadWaveSamples(bad.data(), bad.size()).has_value()) << "byte " << at;
    }
    EXPECT_FALSE(ReadWaveSamples(kSmallWave.data(), 11).has_value());
}

TEST(WaveSamples, ResamplingKeepsTheDurationAndInterpolatesBetweenNeighbours) {
    Bytes ramp(441);
    for (size_t i = 0; i < ramp.size(); ++i) {
        ramp[i] = static_cast<uint8_t>(i * 255 / (ramp.size() - 1));
    }
    const WaveSamples wave{ramp.data(), static_cast<uint32_t>(ramp.size()), 11025};
    EXPECT_EQ(Resample(wave, 11025), ramp);

    const Bytes up = Resample(wave, 48000);
    EXPECT_EQ(up.size(), 1920u);  // 40 ms either way
    // Rising all the way but for the last few, which lean back towards the first sample.
    const size_t rising = 1920 - 48000 / 11025;
    for (size_t i = 1; i < rising; ++i) {
        ASSERT_GE(up[i], up[i - 1]) << i;
    }
    EXPECT_EQ(up.front(), 0);
    EXPECT_GE(up[rising - 1], 253);

    const Bytes down = Resample({ramp.data(), 441, 48000}, 11025);
    EXPECT_EQ(down.size(), 101u);  // 441 * 11025 / 48000 = 101.3
    const Bytes flat(300, 77);
    EXPECT_EQ(Resample({flat.data(), 300, 22050}, 48000), Bytes(653, 77));
}

// --- The hand-over.

TEST(CueRequestSlot, TheNewestRequestWinsAndIsTakenOnce) {
    CueRequestSlot slot;
    EXPECT_FALSE(slot.Take().has_value());
    slot.Put({CueRequest::Kind::kStop, 0, false});
    slot.Put({CueRequest::Kind::kPlay, kTraceSearchSound, true});
    EXPECT_EQ(slot.Take(), (CueRequest{CueRequest::Kind::kPlay, kTraceSearchSound, true}));
    EXPECT_FALSE(slot.Take().has_value());
    // Ids travel whole up to the largest a resource can have; any other becomes 0.
    slot.Put({CueRequest::Kind::kPlay, 0xFFFF, false});
    EXPECT_EQ(slot.Take(), (CueRequest{CueRequest::Kind::kPlay, 0xFFFF, false}));
    slot.Put({CueRequest::Kind::kPlay, 0x10000 + kKeyClickSound, true});
    EXPECT_EQ(slot.Take(), (CueRequest{CueRequest::Kind::kPlay, 0, true}));
    slot.Put({CueRequest::Kind::kPurge, 0, false});
    EXPECT_EQ(slot.Take(), (CueRequest{CueRequest::Kind::kPurge, 0, false}));
}

// --- The player against a fake device.

const Bytes kSlow(110, 100);  // 10 ms at 11025 Hz
const Bytes kFast(480, 150);  // 10 ms at 48000 Hz

std::vector<PlayerCue> FourCues() {
    return {{kTraceTypingSound, {kSlow.data(), 110, 11025}},
            {kTraceSearchSound, {kSlow.data(), 110, 11025}},
            {kKeyClickSound, {kFast.data(), 480, 48000}},
            {kTitleMusic, {kSlow.data(), 110, 11025}}};
}

int32_t SlotOf(int32_t id) {
    const std::vector<PlayerCue> cues = FourCues();
    for (size_t slot = 0; slot < cues.size(); ++slot) {
        if (cues[slot].id == id) {
            return static_cast<int32_t>(slot);
        }
    }
    return -1;
}

class CuePlayerTest : public ::testing::Test {
  protected:
    std::shared_ptr<testing::FakeWaveRecord> record = std::make_shared<testing::FakeWaveRecord>();
    testing::FakeWaveDevice device{record};
    CuePlayer player;
};

TEST_F(CuePlayerTest, TheShowsCuesCutEachOtherLoopAndFallSilentInOrder) {
    const std::vector<PlayerCue> cues = FourCues();
    ASSERT_TRUE(player.Open(device, cues));
    // One rate for the run, the highest; every cue prepared at it.
    EXPECT_EQ(record->Calls().front(), "open 48000");
    EXPECT_EQ(record->prepared[0], Resample(cues[0].wave, 48000));
    EXPECT_EQ(record->prepared[2], kFast);
    testing::ShowRig rig;
    rig.SetSwitches(true, true, true, false);
    CreateShowGrid(rig.show, 40, 20);
    std::vector<std::string> heard;
    for (int32_t t = 0; t < 4000; ++t) {
        rig.log.Clear();
        FrameTick(rig.show, t);
        for (const ShowEvent& event : rig.log.events) {
            if (event.kind == ShowEvent::Kind::kWipe) {
                continue;
            }
            const auto kind = event.kind == ShowEvent::Kind::kPlay   ? CueRequest::Kind::kPlay
                              : event.kind == ShowEvent::Kind::kStop ? CueRequest::Kind::kStop
                                                                     : CueRequest::Kind::kPurge;
            player.Carry({kind, event.soundId, event.loop});
            // Exactly the newest cue plays, from its start, looped as asked; or nothing.
            std::deque<std::pair<int32_t, bool>> expected;
            if (kind == CueRequest::Kind::kPlay) {
                expected.emplace_back(SlotOf(event.soundId), event.loop);
                heard.push_back(std::to_string(event.soundId) + (event.loop ? " loop" : ""));
            }
            ASSERT_EQ(record->queued, expected) << "frame " << t;
        }
    }
    player.Carry({CueRequest::Kind::kPurge, 0, false});
    EXPECT_TRUE(record->queued.empty());
    // Every cue of the show was heard, and the right ones looped.
    for (const char* cue : {"133 loop", "134 loop", "136", "138"}) {
        EXPECT_NE(std::find(heard.begin(), heard.end(), cue), heard.end()) << cue;
    }
}

TEST_F(CuePlayerTest, WithoutADeviceNothingIsTriedAgainPerCue) {
    record->refuseOpen = true;
    const std::vector<PlayerCue> cues = FourCues();
    EXPECT_FALSE(player.Open(device, cues));
    for (int i = 0; i < 100; ++i) {
        player.Carry({CueRequest::Kind::kStop, 0, false});
        player.Carry({CueRequest::Kind::kPlay, kKeyClickSound, false});
    }
    player.Close();
    EXPECT_EQ(record->Calls(), (std::vector<std::string>{"open 48000"}));

    // Nothing to play: the device is not even opened.
    auto untouched = std::make_shared<testing::FakeWaveRecord>();
    testing::FakeWaveDevice unused(untouched);
    CuePlayer empty;
    EXPECT_FALSE(empty.Open(unused, {}));
    EXPECT_TRUE(untouched->Calls().empty());
}

TEST_F(CuePlayerTest, SilenceAndUnknownCuesOnlyCutAndASilentDeviceIsNotResetAgain) {
    const std::vector<PlayerCue> cues = FourCues();
    ASSERT_TRUE(player.Open(device, cues));
    EXPECT_EQ(record->prepared[4], Bytes(24000, 128));  // half a second at 48000 Hz
    player.PlaySilence();
    player.Carry({CueRequest::Kind::kPlay, kTitleMusic, false});
    player.Carry({CueRequest::Kind::kPlay, 999, false});
    player.Carry({CueRequest::Kind::kStop, 0, false});
    player.Carry({CueRequest::Kind::kPurge, 0, false});
    player.Close();
    const std::vector<std::string> calls = record->Calls();
    EXPECT_EQ(std::vector<std::string>(calls.begin() + 6, calls.end()),
              (std::vector<std::string>{"write 4", "reset", "write 3", "reset", "close"}));
}

}  // namespace
}  // namespace korvane
