#include "x11/screen_dpi.h"

#include "frontend/option_values.h"
#include "sprites/cell_scale.h"

namespace korvane {

std::optional<int32_t> ParseXftDpi(std::string_view text) {
    // The resource database keeps blanks that end a line in a file given to xrdb.
    text = text.substr(0, text.find_last_not_of(" \t") + 1);
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    int32_t dpi = 0;
    if (!ParseWholeNumber(whole, dpi) || dpi <= 0) {
        return std::nullopt;
    }
    if (point != std::string_view::npos) {
        const std::string_view fraction = text.substr(point + 1);
        if (fraction.empty() || fraction.find_first_not_of("0123456789") != fraction.npos) {
            return std::nullopt;
        }
    }
    return dpi;
}

int32_t AutomaticCellScale(const std::optional<std::string>& xftDpi) {
    const std::optional<int32_t> dpi = xftDpi ? ParseXftDpi(*xftDpi) : std::nullopt;
    return dpi ? CellScaleForDpi(*dpi) : kSmallestCellScale;
}

}  // namespace korvane
