#pragma once

#include <cstdint>

namespace korvane {

// The sound output as the player drives it: opened once in one format (one channel, unsigned
// 8-bit, at one rate), with one prepared buffer per cue that is written whole, once or looped.
// On Windows a waveOut device; tests put a fake in its place.
class WaveDevice {
  public:
    virtual ~WaveDevice() = default;

    virtual bool Open(uint32_t rate) = 0;
    // Makes `samples` buffer number `slot`; they must stay where they are until Close.
    virtual bool Prepare(int32_t slot, const uint8_t* samples, uint32_t count) = 0;
    // Queues the buffer behind whatever the device still plays.
    virtual bool Write(int32_t slot, bool loop) = 0;
    // Silences the device and hands every queued buffer back.
    virtual void Reset() = 0;
    // Gives up the buffers and the device.
    virtual void Close() = 0;
};

}  // namespace korvane
