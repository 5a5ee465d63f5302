#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "settings/show_settings.h"

namespace korvane {

// The show's own switches, the same in every native front end: which parts run and the
// texts they show. Sound is each front end's own business.
struct ShowSwitches {
    bool titleEnabled = true;
    bool phoneEnabled = true;
    bool messageEnabled = true;
    bool codeEnabled = true;
    bool hasMessage = false;
    std::string message;  // the file's bytes, once the switches are finished
    bool hasPhoneNumber = false;
    std::string phoneNumber;
    std::string messagePath;  // --message-file, read by FinishShowSwitches
};

inline constexpr std::size_t kMaxMessageBytes = 1023;

enum class SwitchResult { kNotASwitch, kTaken, kBad };

// The lines of a program's --help that describe the switches.
inline constexpr std::string_view kShowSwitchesUsage =
    "  --no-title             leave out the title and credits\n"
    "  --no-phone             leave out the telephone trace\n"
    "  --no-message           leave out the typed message\n"
    "  --no-code              leave out the falling code\n"
    "  --message-file FILE    type the message in FILE (at most 1023 bytes)\n"
    "  --phone-number TEXT    the number the telephone trace finds\n";

// Takes arguments[i] when it is one of the switches (--no-title, --no-phone, --no-message,
// --no-code, --message-file FILE, --phone-number TEXT), stepping `i` over its value. kBad
// comes with a one-line description in `error`.
SwitchResult TakeShowSwitch(const std::vector<std::string>& arguments, std::size_t& i,
                            ShowSwitches& switches, std::string& error);

// Reads the message file, if one was named. False with a one-line `error` when it cannot be
// read or holds more than the record's room.
bool FinishShowSwitches(ShowSwitches& switches, std::string& error);

// Puts the switches into the settings record, as the saver's dialog would have saved them.
void ApplyShowSwitches(const ShowSwitches& switches, ShowSettings& settings);

}  // namespace korvane
