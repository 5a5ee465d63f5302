#pragma once

#include <memory>

#include "host/wave_device.h"

namespace korvane {

// The default output device through waveOut, opened without a callback: the player never
// needs to know when a cue has ended, only to cut it.
std::unique_ptr<WaveDevice> MakeWaveOutDevice();

}  // namespace korvane
