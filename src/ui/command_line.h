#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

// What `ZQDecoder [Qt options] [--] [FILE...]` asks for. The program knows
// --help and --version, and Qt's own options (-platform NAME, -reverse...),
// which it leaves to Qt; every other word is a file to open, taken byte for
// byte. `--` ends the options, Qt's too: the words after it are all files,
// so that a file may be called --help or -platform.
namespace ui {

struct CommandLine {
    enum class Action {
        kOpenWindow,
        kHelp,
        kVersion,
        kUsageError,  // `usage_error` says what is wrong
    };
    Action action = Action::kOpenWindow;
    std::vector<std::string> files;
    // The first wrong word, as "unknown option --frob" or "option -style needs a value".
    std::string usage_error;
    // How many of the arguments, from the first, come before `--`: the only
    // ones that Qt may be given.
    std::size_t option_words = 0;
};

// `arguments` are those after the program's name. --help wins over --version,
// and both over a wrong option, wherever they stand before `--`. Decided
// without Qt, before a display is opened.
[[nodiscard]] CommandLine ParseCommandLine(std::span<char* const> arguments);

// Exit status of a command line that is wrong, as zqcrypt gives (EX_USAGE).
inline constexpr int kUsageExitStatus = 64;

[[nodiscard]] std::string UsageText();
[[nodiscard]] std::string HelpText();
[[nodiscard]] std::string VersionText();

}  // namespace ui
