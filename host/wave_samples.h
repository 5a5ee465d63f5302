#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace korvane {

// One channel of unsigned 8-bit PCM, as our wave resources hold it. A view: the samples belong
// to whoever handed them over.
struct WaveSamples {
    const uint8_t* data = nullptr;
    uint32_t count = 0;
    uint32_t rate = 0;  // samples per second
};

// The samples of a RIFF WAVE image of PCM, one channel, 8 bits per sample; nothing for any
// other format or for a chunk that runs past `size`.
std::optional<WaveSamples> ReadWaveSamples(const uint8_t* bytes, size_t size);

// `wave` at `rate`, linearly interpolated, lasting as long (to the nearest sample). The last
// sample leans towards the first, so that a loop stays without a seam.
std::vector<uint8_t> Resample(const WaveSamples& wave, uint32_t rate);

}  // namespace korvane
