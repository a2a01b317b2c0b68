#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zqcrypt {

// Shows `prompt` on `prompt_fd` and reads one line from the terminal
// `terminal_fd` without echoing it. The terminal's mode is restored on every
// way out, a signal that ends the program included. Backspace, Ctrl-U and Ctrl-W edit the line; Enter ends it.
//
// Ctrl-Z, or SIGTSTP, SIGTTIN or SIGTTOU, puts the terminal back and stops
// the program with that signal; once continued, the input is hidden again,
// what was typed before is thrown away and the prompt is shown anew.
//
// Returns the line without its line break, or nothing when the input ends
// (Ctrl-D on an empty line, a hang-up). Ctrl-C and Ctrl-\ restore the
// terminal first and then raise SIGINT or SIGQUIT, so the program ends as it
// would on any other interrupt.
//
// Throws platform::RuntimeError when the terminal cannot be switched.
[[nodiscard]] std::optional<std::string> ReadHiddenLine(int terminal_fd, int prompt_fd, std::string_view prompt);

}  // namespace zqcrypt
