#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Takes the value that follows the option arguments[i] and steps `i` onto it. False, with
// "option NAME needs a value" in `error`, when the option is the last argument.
bool TakeOptionValue(const std::vector<std::string>& arguments, std::size_t& i, std::string& value,
                     std::string& error);

// A decimal whole number that is the whole text and fits 32 bits; the sign is the caller's
// business.
bool ParseWholeNumber(std::string_view text, int32_t& value);

}  // namespace korvane
