#include "host/command_line.h"

namespace korvane {
namespace {

const char* StepOneByte(const char* text) {
    return *text != '\0' ? text + 1 : text;
}

bool IsAboveSpace(char c) {
    return static_cast<unsigned char>(c) > ' ';
}

const char* SkipSpaces(const char* text) {
    while (*text == ' ') {
        ++text;
    }
    return text;
}

}  // namespace

const char* SkipProgramName(const char* commandLine, CharacterStep step) {
    if (step == nullptr) {
        step = StepOneByte;
    }
    const char* text = commandLine;
    if (*text == '"') {
        // An unterminated quote swallows the whole line.
        do {
            text = step(text);
        } while (*text != '\0' && *text != '"');
        if (*text == '"') {
            text = step(text);
        }
    } else {
        while (IsAboveSpace(*text)) {
            text = step(text);
        }
    }
    while (*text != '\0' && !IsAboveSpace(*text)) {
        ++text;
    }
    return text;
}

uint32_t ParseWindowNumber(const char* text) {
    uint32_t number = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        number = number * 10u + static_cast<uint32_t>(*text - '0');
    }
    return number;
}

ModeRequest ParseModeSwitch(const char* text) {
    while (*text == ' ' || *text == '-' || *text == '/') {
        ++text;
    }
    ModeRequest request;
    switch (*text) {
        case '\0':
            request.mode = SaverMode::kConfigureWithoutOwner;
            break;
        case 'a':
        case 'A':
            request.mode = SaverMode::kChangePassword;
            request.argument = SkipSpaces(text + 1);
            request.windowNumber = ParseWindowNumber(request.argument);
            break;
        case 'c':
        case 'C':
            request.mode = SaverMode::kConfigure;
            if (text[1] == ':') {
                request.windowNumber = ParseWindowNumber(text + 2);
            }
            break;
        case 'p':
        case 'P':
        case 'l':
        case 'L':
            request.mode = SaverMode::kPreview;
            request.argument = SkipSpaces(text + 1);
            request.windowNumber = ParseWindowNumber(request.argument);
            break;
        case 's':
        case 'S':
            request.mode = SaverMode::kFullScreen;
            break;
        default:
            request.mode = SaverMode::kUnrecognised;
            break;
    }
    return request;
}

}  // namespace korvane
