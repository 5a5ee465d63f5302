#include "x11/x11_options.h"

#include <charconv>

#include "frontend/option_values.h"
#include "sprites/cell_scale.h"

namespace korvane {

namespace {

// WxH, with an optional +X+Y that a window manager may use as it likes.
bool ParseGeometry(const std::string& text, int32_t& width, int32_t& height) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos) {
        return false;
    }
    std::string_view rest(text);
    rest.remove_prefix(x + 1);
    const std::size_t offset = rest.find_first_of("+-");
    if (offset != std::string_view::npos) {
        int32_t position = 0;
        const std::string_view place = rest.substr(offset + 1);
        const std::size_t second = place.find_first_of("+-");
        if (second == std::string_view::npos ||
            !ParseWholeNumber(place.substr(0, second), position) ||
            !ParseWholeNumber(place.substr(second + 1), position)) {
            return false;
        }
        rest = rest.substr(0, offset);
    }
    return ParseWholeNumber(std::string_view(text).substr(0, x), width) &&
           ParseWholeNumber(rest, height) && width >= 1 && height >= 1 && width <= kMaxWindowSide &&
           height <= kMaxWindowSide;
}

}  // namespace

bool ParseWindowId(const std::string& text, unsigned long& id) {
    std::string_view digits(text);
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
        base = 16;
    }
    const char* last = digits.data() + digits.size();
    const auto [end, status] = std::from_chars(digits.data(), last, id, base);
    // X resource ids have 29 bits; anything wider cannot name a window.
    return status == std::errc() && end == last && !digits.empty() && id != 0 && id <= 0x1FFFFFFFul;
}

bool ParseX11Options(const std::vector<std::string>& arguments, const char* managerWindow,
                     X11Options& options, std::string& error) {
    bool haveRoot = false;
    bool haveWindowId = false;
    bool haveGeometry = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (TakeInfoRequest(name, options.info)) {
            return true;
        }
        const SwitchResult shared = TakeShowSwitch(arguments, i, options, error);
        if (shared == SwitchResult::kBad) {
            return false;
        }
        if (shared == SwitchResult::kTaken) {
            continue;
        }
        auto value = [&](std::string& out) { return TakeOptionValue(arguments, i, out, error); };

        std::string text;
        if (name == "-root") {
            haveRoot = true;
        } else if (name == "-window-id") {
            if (!value(text)) {
                return false;
            }
            if (!ParseWindowId(text, options.windowId)) {
                error = "option -window-id needs a window id (decimal or 0x hexadecimal), not '" +
                        text + "'";
                return false;
            }
            haveWindowId = true;
        } else if (name == "-geometry") {
            if (!value(text)) {
                return false;
            }
            if (!ParseGeometry(text, options.width, options.height)) {
                error = "option -geometry needs WIDTHxHEIGHT, not '" + text + "'";
                return false;
            }
            haveGeometry = true;
        } else if (name == "-display") {
            if (!value(options.displayName)) {
                return false;
            }
        } else if (name == "--frames") {
            if (!value(text)) {
                return false;
            }
            if (!ParseWholeNumber(text, options.frames) || options.frames < 1) {
                error = "option --frames needs a whole number of at least 1, not '" + text + "'";
                return false;
            }
        } else if (name == "--scale") {
            if (!value(text)) {
                return false;
            }
            if (text == "auto") {
                options.cellScale = kAutomaticCellScale;
            } else if (!ParseWholeNumber(text, options.cellScale) ||
                       options.cellScale != ClampCellScale(options.cellScale)) {
                error = "option --scale needs 'auto' or a whole number from " +
                        std::to_string(kSmallestCellScale) + " to " +
                        std::to_string(kLargestCellScale) + ", not '" + text + "'";
                return false;
            }
        } else if (name == "--stats") {
            options.stats = true;
        } else {
            error = "unknown option '" + name + "'";
            return false;
        }
    }

    if (haveRoot && haveWindowId) {
        error = "-root and -window-id cannot both be given";
        return false;
    }
    if (haveGeometry && (haveRoot || haveWindowId)) {
        error = "-geometry is for a window of our own, not with -root or -window-id";
        return false;
    }
    if (haveWindowId) {
        options.target = WindowTarget::kExisting;
    } else if (managerWindow != nullptr && *managerWindow != '\0' && !haveGeometry) {
        // A saver manager runs its programs with -root and names its own window here: that
        // window stands in for the root, as it does for every program it runs.
        if (!ParseWindowId(managerWindow, options.windowId)) {
            error = std::string("XSCREENSAVER_WINDOW holds no window id: '") + managerWindow + "'";
            return false;
        }
        options.target = WindowTarget::kExisting;
    } else if (haveRoot) {
        options.target = WindowTarget::kRoot;
    }
    return FinishShowSwitches(options, error);
}

}  // namespace korvane
