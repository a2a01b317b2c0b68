#pragma once

#include <string>
#include <string_view>

namespace util {

// Text from outside (a file name, a line of a file) made safe to show on a
// terminal, in a list or in a message box. Each control character (C0, DEL,
// C1) and each byte that is no part of valid UTF-8 is shown as \xHH, so that
// a name holding ESC [31m cannot recolour the terminal, and one holding a line
// break cannot forge a line. Each invisible character that reorders the text
// around it or hides where a word ends (the bidirectional marks, embeddings,
// overrides and isolates, the zero-width space, the word joiner and its kin,
// the byte order mark) is shown as \u{HHHH}, so that "b\u{202E}fdp.exe" cannot
// pass for "bexe.pdf". The zero-width joiner and non-joiner stay: they are
// ordinary letters of some scripts. With `keep_line_breaks`, LF stays as it
// is: only for text of the program's own whose line breaks are meant.
[[nodiscard]] std::string EscapedText(std::string_view text, bool keep_line_breaks = false);

// Whether `text` holds a character that EscapedText shows as \u{HHHH}.
[[nodiscard]] bool HoldsReorderingCharacter(std::string_view text);

}  // namespace util
