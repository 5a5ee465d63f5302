#pragma once

#include <cstdint>

namespace korvane {

// What the screen-saver machinery asks of us, decided by the first letter of the switch.
enum class SaverMode {
    kConfigureWithoutOwner,  // nothing after the program name
    kConfigure,              // 'c', optionally ':' and the owner's window number
    kChangePassword,         // 'a' and the owner's window number
    kPreview,                // 'p' or 'l' and the parent's window number
    kFullScreen,             // 's'
    kUnrecognised,
};

struct ModeRequest {
    SaverMode mode = SaverMode::kUnrecognised;
    // The window number that follows the letter (0 when there is none), for configure and preview.
    uint32_t windowNumber = 0;
    // The text after the letter and its spaces, for the password change.
    const char* argument = "";
};

// Advances over one character; Windows passes CharNextA so double-byte names step correctly.
using CharacterStep = const char* (*)(const char*);

// Skips the program's name (quoted or not) and the blanks after it.
const char* SkipProgramName(const char* commandLine, CharacterStep step = nullptr);

// Decimal digits only, no sign or blank, in 32-bit arithmetic that wraps; 0 without a digit.
uint32_t ParseWindowNumber(const char* text);

// Skips any run of ' ', '-' and '/', then reads the mode letter.
ModeRequest ParseModeSwitch(const char* text);

}  // namespace korvane
