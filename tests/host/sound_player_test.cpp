// The sound player's portable pieces: our wave data, the request hand-over and the player that
// carries the show's requests out on a device.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
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

void Append(Bytes& bytes, const std::string& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
}
void Append32(Bytes& bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}
void Append16(Bytes& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

struct WaveShape {
    uint16_t format = 1;
    uint16_t channels = 1;
    uint32_t rate = 11025;
    uint16_t bits = 8;
    Bytes extraChunk;  // a whole chunk placed between fmt and data
    bool dataFirst = false;
    uint32_t dataLengthExtra = 0;  // claimed beyond the bytes that follow
};

Bytes MakeWave(const WaveShape& shape, const Bytes& samples) {
    Bytes fmt;
    Append(fmt, "fmt ");
    Append32(fmt, 16);
    Append16(fmt, shape.format);
    Append16(fmt, shape.channels);
    Append32(fmt, shape.rate);
    Append32(fmt, shape.rate * shape.channels * shape.bits / 8);
    Append16(fmt, static_cast<uint16_t>(shape.channels * shape.bits / 8));
    Append16(fmt, shape.bits);
    Bytes data;
    Append(data, "data");
    Append32(data, static_cast<uint32_t>(samples.size()) + shape.dataLengthExtra);
    data.insert(data.end(), samples.begin(), samples.end());
    Bytes body;
    Append(body, "WAVE");
    for (const Bytes* part : shape.dataFirst
                                 ? std::vector<const Bytes*>{&data, &fmt}
                                 : std::vector<const Bytes*>{&fmt, &shape.extraChunk, &data}) {
        body.insert(body.end(), part->begin(), part->end());
    }
    Bytes wave;
    Append(wave, "RIFF");
    Append32(wave, static_cast<uint32_t>(body.size()));
    wave.insert(wave.end(), body.begin(), body.end());
    return wave;
}

// --- Our wave data.

TEST(WaveSamples, OurFourSoundsReadWithTheirRatesAndLengths) {
    struct Expected {
        const char* file;
        uint32_t rate;
        double seconds;
    };
    for (const Expected& sound :
         {Expected{"sound133.wav", 11025, 3.89}, Expected{"sound134.wav", 11025, 0.67},
          Expected{"sound136.wav", 48000, 0.19}, Expected{"sound138.wav", 11025, 16.83}}) {
        std::ifstream file(std::string(KORVANE_TEST_ASSET_DIR) + "/" + sound.file,
                           std::ios::binary);
        const Bytes bytes{std::istreambuf_iterator<char>(file), {}};
        const std::optional<WaveSamples> wave = ReadWaveSamples(bytes.data(), bytes.size());
        ASSERT_TRUE(wave.has_value()) << sound.file;
        EXPECT_EQ(wave->rate, sound.rate) << sound.file;
        EXPECT_NEAR(static_cast<double>(wave->count) / wave->rate, sound.seconds, 0.001)
            << sound.file;
    }
}

TEST(WaveSamples, OnlyOneChannelOfEightBitPcmWhoseChunksFitIsRead) {
    const Bytes samples{1, 2, 3};
    Bytes oddList;  // an odd-sized chunk is followed by a pad byte
    Append(oddList, "LIST");
    Append32(oddList, 3);
    oddList.insert(oddList.end(), {'a', 'b', 'c', 0});
    WaveShape padded;
    padded.extraChunk = oddList;
    const Bytes good = MakeWave(padded, samples);
    const std::optional<WaveSamples> wave = ReadWaveSamples(good.data(), good.size());
    ASSERT_TRUE(wave.has_value());
    EXPECT_EQ(Bytes(wave->data, wave->data + wave->count), samples);

    std::vector<WaveShape> bad(6);
    bad[0].format = 3;
    bad[1].channels = 2;
    bad[2].rate = 0;
    bad[3].bits = 16;
    bad[4].dataFirst = true;
    bad[5].dataLengthExtra = 1;
    for (size_t i = 0; i < bad.size(); ++i) {
        const Bytes wrong = MakeWave(bad[i], samples);
        EXPECT_FALSE(ReadWaveSamples(wrong.data(), wrong.size()).has_value()) << "shape " << i;
    }
    EXPECT_FALSE(ReadWaveSamples(good.data(), 11).has_value());
    Bytes notRiff = good;
    notRiff[0] = 'X';
    EXPECT_FALSE(ReadWaveSamples(notRiff.data(), notRiff.size()).has_value());
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

TEST_F(CuePlayerTest, OpensOnceAtTheHighestRateWithEveryCuePreparedAtIt) {
    const std::vector<PlayerCue> cues = FourCues();
    ASSERT_TRUE(player.Open(device, cues));
    EXPECT_EQ(record->Calls(), (std::vector<std::string>{"open 48000", "prepare 0", "prepare 1",
                                                         "prepare 2", "prepare 3"}));
    EXPECT_EQ(record->prepared[0], Resample(cues[0].wave, 48000));
    EXPECT_EQ(record->prepared[2], kFast);
    player.Close();
    EXPECT_EQ(record->Calls().back(), "close");
}

TEST_F(CuePlayerTest, TheShowsCuesCutEachOtherLoopAndFallSilentInOrder) {
    const std::vector<PlayerCue> cues = FourCues();
    ASSERT_TRUE(player.Open(device, cues));
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

TEST_F(CuePlayerTest, AnUnknownCueOnlyCutsAndASilentDeviceIsNotResetAgain) {
    const std::vector<PlayerCue> cues = FourCues();
    ASSERT_TRUE(player.Open(device, cues));
    player.Carry({CueRequest::Kind::kPlay, kTitleMusic, false});
    player.Carry({CueRequest::Kind::kPlay, 999, false});
    player.Carry({CueRequest::Kind::kStop, 0, false});
    player.Carry({CueRequest::Kind::kPurge, 0, false});
    player.Close();
    const std::vector<std::string> calls = record->Calls();
    EXPECT_EQ(std::vector<std::string>(calls.begin() + 5, calls.end()),
              (std::vector<std::string>{"write 3", "reset", "close"}));
}

}  // namespace
}  // namespace korvane
