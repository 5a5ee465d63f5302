#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "show/headless_show_display.h"
#include "show/recording_sound_player.h"
#include "show/show.h"

namespace korvane::testing {

// A fresh show with a recorder and a headless display, as the simulator builds it.
struct ShowRig {
    ShowRig() : sound(log), display(log), show(sound) { show.display = &display; }

    void SetSwitches(bool title, bool phone, bool message, bool code) {
        show.settings.titleEnabled = title;
        show.settings.phoneEnabled = phone;
        show.settings.messageEnabled = message;
        show.settings.codeEnabled = code;
    }
    void SetMessage(const char* text) {
        show.settings.messageText.fill('\0');
        const size_t length = std::min(std::strlen(text), show.settings.messageText.size() - 1);
        std::memcpy(show.settings.messageText.data(), text, length);
    }
    void SetPhoneNumber(const char* text) {
        show.settings.phoneNumber.fill('\0');
        const size_t length = std::min(std::strlen(text), show.settings.phoneNumber.size() - 1);
        std::memcpy(show.settings.phoneNumber.data(), text, length);
    }

    ShowEventLog log;
    RecordingSoundPlayer sound;
    HeadlessShowDisplay display;
    Show show;
};

inline std::vector<std::string> EventNames(const ShowEventLog& log) {
    std::vector<std::string> names;
    for (const ShowEvent& event : log.events) {
        switch (event.kind) {
            case ShowEvent::Kind::kStop:
                names.push_back("stop");
                break;
            case ShowEvent::Kind::kPlay:
                names.push_back("play " + std::to_string(event.soundId) +
                                (event.loop ? " loop" : ""));
                break;
            case ShowEvent::Kind::kPurge:
                names.push_back("purge");
                break;
            case ShowEvent::Kind::kWipe:
                names.push_back("wipe");
                break;
        }
    }
    return names;
}

// The cell code a text character gets at `level` outside code mode.
inline int32_t TextCode(const CodeGrid& grid, char character, int32_t level) {
    const bool was = const_cast<CodeGrid&>(grid).SetCodeMode(false);
    const int32_t code = grid.GlyphCode(character) + level;
    const_cast<CodeGrid&>(grid).SetCodeMode(was);
    return code;
}

inline std::string RowText(const CodeGrid& grid, int32_t row, int32_t from, int32_t count,
                           const char* alphabet) {
    // Maps cell glyphs back to characters through `alphabet`, '?' where none matches.
    std::string text;
    for (int32_t c = from; c < from + count; ++c) {
        char found = '?';
        for (const char* p = alphabet; *p != '\0'; ++p) {
            if ((TextCode(grid, *p, 0) >> 2) == (grid.CellAt(c, row) >> 2)) {
                found = *p;
                break;
            }
        }
        text.push_back(found);
    }
    return text;
}

}  // namespace korvane::testing
