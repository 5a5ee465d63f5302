#include "tools/sim/sim_options.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <fstream>
#include <iterator>

#include "grid/cell_geometry.h"

namespace korvane {

namespace {

bool ParseCount(const std::string& text, int32_t& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, status] = std::from_chars(first, last, value);
    return status == std::errc() && end == last && !text.empty() && value >= 0;
}

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
        if (bytes.size() > kSimMaxMessageBytes) {
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

bool ParseSimOptions(const std::vector<std::string>& arguments, SimOptions& options,
                     std::string& error) {
    bool haveWidth = false;
    bool haveHeight = false;
    bool haveFrames = false;
    std::string messagePath;

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= arguments.size()) {
                error = "option " + name + " needs a value";
                return false;
            }
            out = arguments[++i];
            return true;
        };
        auto count = [&](int32_t& out, bool& seen) {
            std::string text;
            if (!value(text)) {
                return false;
            }
            if (!ParseCount(text, out)) {
                error = "option " + name + " needs a non-negative whole number, not '" + text + "'";
                return false;
            }
            seen = true;
            return true;
        };

        bool ok = true;
        if (name == "--width") {
            ok = count(options.width, haveWidth);
        } else if (name == "--height") {
            ok = count(options.height, haveHeight);
        } else if (name == "--frames") {
            ok = count(options.frames, haveFrames);
        } else if (name == "--no-title") {
            options.titleEnabled = false;
        } else if (name == "--no-phone") {
            options.phoneEnabled = false;
        } else if (name == "--no-message") {
            options.messageEnabled = false;
        } else if (name == "--no-code") {
            options.codeEnabled = false;
        } else if (name == "--no-sound") {
            options.soundEnabled = false;
        } else if (name == "--message-file") {
            ok = value(messagePath);
            options.hasMessage = ok;
        } else if (name == "--phone-number") {
            ok = value(options.phoneNumber);
            options.hasPhoneNumber = ok;
        } else if (name == "--trace") {
            ok = value(options.tracePath);
            if (ok && options.tracePath.empty()) {
                error = "option --trace needs a file name or '-'";
                ok = false;
            }
        } else if (name == "--png") {
            ok = value(options.pngPath);
            if (ok && options.pngPath.empty()) {
                error = "option --png needs a file name";
                ok = false;
            }
        } else if (name == "--png-frame") {
            ok = count(options.pngFrame, options.hasPngFrame);
        } else {
            error = "unknown option '" + name + "'";
            ok = false;
        }
        if (!ok) {
            return false;
        }
    }

    if (!haveWidth || !haveHeight || !haveFrames) {
        error = "--width, --height and --frames are required";
        return false;
    }
    if (options.width > kSimMaxPixels || options.height > kSimMaxPixels) {
        error = "screen size " + std::to_string(options.width) + "x" +
                std::to_string(options.height) + " is larger than " +
                std::to_string(kSimMaxPixels) + " pixels a side";
        return false;
    }
    if (options.width / kCellWidth < 1 || options.height / kCellHeight < 1) {
        error = "screen size " + std::to_string(options.width) + "x" +
                std::to_string(options.height) + " gives no grid (cells are 16x24 pixels)";
        return false;
    }
    if (options.pngPath.empty() != !options.hasPngFrame) {
        error = "--png and --png-frame must be given together";
        return false;
    }
    if (options.hasPngFrame && options.pngFrame >= options.frames) {
        error = "--png-frame " + std::to_string(options.pngFrame) +
                " is not one of the frames run (--frames " + std::to_string(options.frames) + ")";
        return false;
    }
    if (!options.pngPath.empty() &&
        int64_t{options.width} * options.height > kSimMaxPicturePixels) {
        error = "screen size " + std::to_string(options.width) + "x" +
                std::to_string(options.height) + " is too large for a picture (at most " +
                std::to_string(kSimMaxPicturePixels) + " pixels)";
        return false;
    }
    if (options.hasMessage && !ReadMessageFile(messagePath, options.message, error)) {
        return false;
    }
    return true;
}

void ApplySimOptions(const SimOptions& options, ShowSettings& settings) {
    settings.titleEnabled = options.titleEnabled;
    settings.phoneEnabled = options.phoneEnabled;
    settings.messageEnabled = options.messageEnabled;
    settings.codeEnabled = options.codeEnabled;
    settings.soundEnabled = options.soundEnabled;
    if (options.hasMessage) {
        settings.messageText.fill('\0');
        std::memcpy(settings.messageText.data(), options.message.data(), options.message.size());
    }
    if (options.hasPhoneNumber) {
        // The record keeps as many characters as it has room for; the trace shows ten.
        settings.phoneNumber.fill('\0');
        const std::size_t kept =
            std::min(options.phoneNumber.size(), settings.phoneNumber.size() - 1);
        std::memcpy(settings.phoneNumber.data(), options.phoneNumber.data(), kept);
    }
}

}  // namespace korvane
