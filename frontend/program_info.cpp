#include "frontend/program_info.h"

#include <cstdio>

namespace korvane {

bool TakeInfoRequest(const std::string& argument, InfoRequest& request) {
    if (argument == "--help") {
        request = InfoRequest::kHelp;
    } else if (argument == "--version") {
        request = InfoRequest::kVersion;
    } else {
        return false;
    }
    return true;
}

const char* ProgramVersion() {
    return KORVANE_VERSION;  // CMake's project version
}

int AnswerInfoRequest(InfoRequest request, const char* program, std::string_view usage) {
    if (request == InfoRequest::kHelp) {
        std::fwrite(usage.data(), 1, usage.size(), stdout);
    } else {
        std::printf("%s %s\n", program, ProgramVersion());
    }
    // A full disk or a closed pipe is not an answer given.
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

}  // namespace korvane
