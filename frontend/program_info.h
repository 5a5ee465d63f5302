#pragma once

#include <string>
#include <string_view>

namespace korvane {

// --help and --version: every native program answers them on standard output, with status 0,
// instead of running.
enum class InfoRequest { kNone, kHelp, kVersion };

// True when `argument` is --help or --version, noting which in `request`.
bool TakeInfoRequest(const std::string& argument, InfoRequest& request);

// The project's version, as the build names it.
const char* ProgramVersion();

// Writes `usage` for kHelp, or "PROGRAM VERSION" for kVersion, to standard output. The exit
// status: 0, or 1 when standard output could not take it.
int AnswerInfoRequest(InfoRequest request, const char* program, std::string_view usage);

}  // namespace korvane
