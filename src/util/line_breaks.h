#pragma once

#include <string>
#include <string_view>

namespace util {

// Protected text was written where every line break is CR LF, and the text
// cipher counts both characters. Text that arrives with lone CR or lone LF
// breaks (a Linux clipboard, a pipe) must reach the cipher with CR LF, or the
// key slips by one position at every line.
[[nodiscard]] std::string WithCrLfLineBreaks(std::string_view text);

// The way back: a decoded text goes to the terminal, a file or a pipe of this
// system, where a line ends with LF alone. Every CR LF becomes LF; a lone CR
// or LF stays as it is.
[[nodiscard]] std::string WithNativeLineBreaks(std::string_view text);

}  // namespace util
