#pragma once

#include <string>
#include <string_view>

namespace zqcrypt {

// Text for a terminal that holds a file name or other text from outside: each
// control character (C0, DEL, C1) and each byte that is no part of valid
// UTF-8 is shown as \xHH, so that a name holding ESC [31m cannot recolour the
// terminal or move its cursor. With `keep_line_breaks`, LF stays as it is.
[[nodiscard]] std::string ShownOnTerminal(std::string_view text, bool keep_line_breaks = false);

}  // namespace zqcrypt
