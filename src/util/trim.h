#pragma once

#include <string>
#include <string_view>

namespace util {

// Keys and paths are used without leading and trailing spaces. Only the space
// (code 32) is removed: tabs and line breaks belong to the text.
[[nodiscard]] std::string TrimSpaces(std::string_view text);

}  // namespace util
