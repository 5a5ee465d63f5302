#include "frontend/show_switches.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "frontend/option_values.h"

namespace korvane {

namespace {

bool ReadMessageFile(const std::string& path, std::string& message, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read message file '" + path + "'";
        return false;
    }
    std::string bytes;
    char chunk[4096];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        bytes.append(chunk, static_cast<std::size_t>(file.gcount()));
        if (bytes.size() > kMaxMessageBytes) {
            error = "message file '" + path + "' holds more than 1023 bytes";
            return false;
        }
    }
    if (file.bad()) {
        error = "cannot read message file '" + path + "'";
        return false;
    }
    message = std::move(bytes);
    return true;
}

}  // namespace

SwitchResult TakeShowSwitch(const std::vector<std::string>& arguments, std::size_t& i,
                            ShowSwitches& switches, std::string& error) {
    const std::string& name = arguments[i];
    auto value = [&](std::string& out) {
        return TakeOptionValue(arguments, i, out, error) ? SwitchResult::kTaken
                                                         : SwitchResult::kBad;
    };

    if (name == "--no-title") {
        switches.titleEnabled = false;
    } else if (name == "--no-phone") {
        switches.phoneEnabled = false;
    } else if (name == "--no-message") {
        switches.messageEnabled = false;
    } else if (name == "--no-code") {
        switches.codeEnabled = false;
    } else if (name == "--message-file") {
        const SwitchResult result = value(switches.messagePath);
        switches.hasMessage = result == SwitchResult::kTaken;
        return result;
    } else if (name == "--phone-number") {
        const SwitchResult result = value(switches.phoneNumber);
        switches.hasPhoneNumber = result == SwitchResult::kTaken;
        return result;
    } else {
        return SwitchResult::kNotASwitch;
    }
    return SwitchResult::kTaken;
}

bool FinishShowSwitches(ShowSwitches& switches, std::string& error) {
    return !switches.hasMessage || ReadMessageFile(switches.messagePath, switches.message, error);
}

void ApplyShowSwitches(const ShowSwitches& switches, ShowSettings& settings) {
    settings.titleEnabled = switches.titleEnabled;
    settings.phoneEnabled = switches.phoneEnabled;
    settings.messageEnabled = switches.messageEnabled;
    settings.codeEnabled = switches.codeEnabled;
    if (switches.hasMessage) {
        settings.messageText.fill('\0');
        const std::size_t kept = std::min(switches.message.size(), settings.messageText.size() - 1);
        std::memcpy(settings.messageText.data(), switches.message.data(), kept);
    }
    if (switches.hasPhoneNumber) {
        // The record keeps as many characters as it has room for; the trace shows ten.
        settings.phoneNumber.fill('\0');
        const std::size_t kept =
            std::min(switches.phoneNumber.size(), settings.phoneNumber.size() - 1);
        std::memcpy(settings.phoneNumber.data(), switches.phoneNumber.data(), kept);
    }
}

}  // namespace korvane
