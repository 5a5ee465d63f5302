#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// The dots per inch an X resource value such as "192" or "143.5" names, rounded down; none
// for anything that is not a positive decimal number.
std::optional<int32_t> ParseXftDpi(std::string_view text);

// The factor for --scale auto: from Xft.dpi where the server's resources set it (none when
// they do not), else 1, the design's size.
int32_t AutomaticCellScale(const std::optional<std::string>& xftDpi);

}  // namespace korvane
