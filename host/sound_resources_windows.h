#pragma once

#include <windows.h>

#include <vector>

#include "host/cue_player.h"

namespace korvane {

// The show's four sounds, read in place from the WAVE resources of `module`. A sound that is
// missing or not in our format is left out, and stays silent.
std::vector<PlayerCue> ReadSoundCues(HMODULE module);

}  // namespace korvane
