#include "frontend/option_values.h"

#include <charconv>

namespace korvane {

bool TakeOptionValue(const std::vector<std::string>& arguments, std::size_t& i, std::string& value,
                     std::string& error) {
    if (i + 1 >= arguments.size()) {
        error = "option " + arguments[i] + " needs a value";
        return false;
    }
    value = arguments[++i];
    return true;
}

bool ParseWholeNumber(std::string_view text, int32_t& value) {
    const char* last = text.data() + text.size();
    const auto [end, status] = std::from_chars(text.data(), last, value);
    return status == std::errc() && end == last && !text.empty();
}

}  // namespace korvane
