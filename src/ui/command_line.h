#pragma once

#include <span>
#include <string>
#include <vector>

// What `ZQDecoder [Qt options] [--] [FILE...]` asks for. The Qt runtime takes
// its own options (-platform, -style...) out of argv; the program knows only
// --help and --version, and every other word is a file to open, taken byte
// for byte. `--` ends the options, so that a file may be called --help.
namespace ui {

struct CommandLine {
    enum class Action {
        kOpenWindow,
        kHelp,
        kVersion,
        kUnknownOption,  // `unknown_option` names the first one
    };
    Action action = Action::kOpenWindow;
    std::vector<std::string> files;
    std::string unknown_option;
};

// `arguments` are those after the program's name. --help wins over --version,
// and both over an unknown option, wherever they stand before `--`.
[[nodiscard]] CommandLine ParseCommandLine(std::span<char* const> arguments);

// Exit status of a command line that is wrong, as zqcrypt gives (EX_USAGE).
inline constexpr int kUsageExitStatus = 64;

[[nodiscard]] std::string UsageText();
[[nodiscard]] std::string HelpText();
[[nodiscard]] std::string VersionText();

}  // namespace ui
