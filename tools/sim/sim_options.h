#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frontend/program_info.h"
#include "frontend/show_switches.h"
#include "settings/show_settings.h"

namespace korvane {

// What the simulator was asked to do: the show's switches and its own.
struct SimOptions : ShowSwitches {
    int32_t width = 0;
    int32_t height = 0;
    int32_t frames = 0;
    int32_t cellScale = 1;  // --scale: cells of 16s x 24s pixels from a sheet enlarged s times
    bool soundEnabled = true;
    std::string tracePath;  // empty: no trace; "-": standard output
    std::string pngPath;    // empty: no picture
    bool hasPngFrame = false;
    int32_t pngFrame = 0;  // the frame whose finished back buffer the picture shows
    InfoRequest info = InfoRequest::kNone;  // --help or --version: nothing else was read
};

inline constexpr int32_t kSimMaxPixels = 1 << 15;  // per side; keeps the grid allocation sane
// A picture needs three 32-bit pages in memory; this keeps them under a gigabyte together.
inline constexpr int64_t kSimMaxPicturePixels = int64_t{1} << 26;

// Reads the arguments (without the program name) into `options`, including the message file.
// On failure answers false with a one-line description of the problem in `error`. --help or
// --version ends the reading there, with success and `info` set.
bool ParseSimOptions(const std::vector<std::string>& arguments, SimOptions& options,
                     std::string& error);

// Lays the show switches, message and number of `options` over `settings`.
void ApplySimOptions(const SimOptions& options, ShowSettings& settings);

}  // namespace korvane
