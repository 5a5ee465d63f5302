// The command line as start-up reads it: the program's name skipped (a byte at a time, and as
// a double-byte code page steps), then the mode switch and its window number. No read may
// leave the line, and what is decided must follow from the line's first letters.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "host/command_line.h"

namespace korvane {
namespace {

// The line in a heap block of exactly its length and terminator, so that the sanitizer
// catches any read past the terminator.
struct Line {
    const char* text;
    std::size_t length;
};

[[noreturn]] void Fail(const char* what, const Line& line) {
    std::fprintf(stderr, "%s: \"%s\"\n", what, line.text);
    std::abort();
}

// As CharNextA does in a double-byte code page: a lead byte takes its trail byte along, but
// never steps over the terminator.
const char* DoubleByteStep(const char* text) {
    if (*text == '\0') {
        return text;
    }
    const auto lead = static_cast<unsigned char>(*text);
    const bool isLead = (lead >= 0x81 && lead <= 0x9f) || (lead >= 0xe0 && lead <= 0xfc);
    return isLead && text[1] != '\0' ? text + 2 : text + 1;
}

bool Within(const char* p, const Line& line) {
    return p >= line.text && p <= line.text + line.length;
}

SaverMode ModeOfLetter(char letter) {
    switch (letter) {
        case '\0':
            return SaverMode::kConfigureWithoutOwner;
        case 'a':
        case 'A':
            return SaverMode::kChangePassword;
        case 'c':
        case 'C':
            return SaverMode::kConfigure;
        case 'p':
        case 'P':
        case 'l':
        case 'L':
            return SaverMode::kPreview;
        case 's':
        case 'S':
            return SaverMode::kFullScreen;
        default:
            return SaverMode::kUnrecognised;
    }
}

void CheckLine(const Line& line, CharacterStep step) {
    const char* text = SkipProgramName(line.text, step);
    if (!Within(text, line)) {
        Fail("the program name's end lies outside the line", line);
    }
    if (*text != '\0' && static_cast<unsigned char>(*text) <= ' ') {
        Fail("blanks after the program name were left", line);
    }
    const ModeRequest request = ParseModeSwitch(text);
    const char* letter = text;
    while (*letter == ' ' || *letter == '-' || *letter == '/') {
        ++letter;
    }
    if (request.mode != ModeOfLetter(*letter)) {
        Fail("the mode does not follow from the switch's letter", line);
    }
    if (request.argument[0] != '\0' && !Within(request.argument, line)) {
        Fail("the switch's argument lies outside the line", line);
    }
    if (request.mode == SaverMode::kPreview || request.mode == SaverMode::kChangePassword) {
        if (request.argument < letter + 1 || *request.argument == ' ') {
            Fail("the argument does not start after the letter and its blanks", line);
        }
        // The password change reads its owner's number from the argument once more.
        if (ParseWindowNumber(request.argument) != request.windowNumber) {
            Fail("the window number differs from the argument's", line);
        }
    }
    if (request.mode != SaverMode::kPreview && request.mode != SaverMode::kChangePassword &&
        request.mode != SaverMode::kConfigure && request.windowNumber != 0) {
        Fail("a mode without a window has a window number", line);
    }
}

}  // namespace
}  // namespace korvane

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace korvane;
    // The line ends at its first zero, as the one Windows hands over does.
    const auto* zero = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    const std::size_t length = zero != nullptr ? static_cast<std::size_t>(zero - data) : size;
    const std::unique_ptr<char[]> buffer(new char[length + 1]);
    std::memcpy(buffer.get(), data, length);
    buffer[length] = '\0';
    const Line line{buffer.get(), length};
    CheckLine(line, nullptr);
    CheckLine(line, DoubleByteStep);
    return 0;
}
