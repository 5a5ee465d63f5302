#include "host/wave_samples.h"

#include <cstring>

namespace korvane {
namespace {

constexpr size_t kChunkHeader = 8;
constexpr size_t kFormatSize = 16;  // PCM's fmt chunk without extras
constexpr uint16_t kPcm = 1;

uint16_t Read16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool IsId(const uint8_t* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}

}  // namespace

std::optional<WaveSamples> ReadWaveSamples(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size < 12 || !IsId(bytes, "RIFF") || !IsId(bytes + 8, "WAVE")) {
        return std::nullopt;
    }
    WaveSamples wave;
    bool haveFormat = false;
    size_t at = 12;
    while (size - at >= kChunkHeader) {
        const uint8_t* chunk = bytes + at;
        const size_t length = Read32(chunk + 4);
        if (length > size - at - kChunkHeader) {
            return std::nullopt;
        }
        const uint8_t* body = chunk + kChunkHeader;
        if (IsId(chunk, "fmt ")) {
            if (length < kFormatSize || Read16(body) != kPcm || Read16(body + 2) != 1 ||
                Read16(body + 14) != 8 || Read32(body + 4) == 0) {
                return std::nullopt;
            }
            wave.rate = Read32(body + 4);
            haveFormat = true;
        } else if (IsId(chunk, "data")) {
            if (!haveFormat) {
                return std::nullopt;
            }
            wave.data = body;
            wave.count = static_cast<uint32_t>(length);
            return wave;
        }
        // Chunks are padded to an even length.
        at += kChunkHeader + length + (length & 1);
        if (at > size) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::vector<uint8_t> Resample(const WaveSamples& wave, uint32_t rate) {
    if (wave.count == 0 || wave.rate == 0 || rate == 0) {
        return {};
    }
    if (wave.rate == rate) {
        return {wave.data, wave.data + wave.count};
    }
    const uint64_t from = wave.rate;
    const uint64_t count = (uint64_t{wave.count} * rate + from / 2) / from;
    std::vector<uint8_t> out(static_cast<size_t>(count));
    for (uint64_t i = 0; i < count; ++i) {
        // Position i * from / rate in the source, as a whole sample and a fraction of `rate`.
        const uint64_t position = i * from;
        const uint64_t k = position / rate;
        const uint64_t fraction = position % rate;
        const uint64_t a = wave.data[k];
        const uint64_t b = wave.data[k + 1 < wave.count ? k + 1 : 0];
        out[i] = static_cast<uint8_t>((a * (rate - fraction) + b * fraction + rate / 2) / rate);
    }
    return out;
}

}  // namespace korvane
