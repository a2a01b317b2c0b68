#include "ui/command_line.h"

#include "version.h"

#include <string_view>

namespace ui {

CommandLine ParseCommandLine(std::span<char* const> arguments) {
    CommandLine line;
    bool help = false;
    bool version = false;
    bool options_ended = false;
    for (const char* argument : arguments) {
        const std::string_view word(argument);
        if (options_ended || !word.starts_with('-')) {
            line.files.emplace_back(word);
        } else if (word == "--") {
            options_ended = true;
        } else if (word == "--help" || word == "-h") {
            help = true;
        } else if (word == "--version") {
            version = true;
        } else if (line.unknown_option.empty()) {
            line.unknown_option = word;
        }
    }
    if (help) {
        line.action = CommandLine::Action::kHelp;
    } else if (version) {
        line.action = CommandLine::Action::kVersion;
    } else if (!line.unknown_option.empty()) {
        line.action = CommandLine::Action::kUnknownOption;
    }
    return line;
}

std::string UsageText() {
    return "Usage: ZQDecoder [Qt options] [--] [FILE...]\n"
           "       ZQDecoder --help | --version\n";
}

std::string HelpText() {
    return UsageText() + "\n" +
           "Decodes the protected text of an e-mail with your client key, and decrypts\n"
           "attachment files, in a window.\n"
           "\n"
           "Each FILE opens the attachment window with it: one fills its path boxes,\n"
           "several are queued, each to be decoded beside itself.\n"
           "\n"
           "Options:\n"
           "  -h, --help     show this help and exit\n"
           "  --version      show the version and exit\n"
           "  --             every word after it is a FILE, even one beginning with -\n"
           "\n"
           "Qt options such as -platform NAME choose the window system; see ZQDecoder(1).\n"
           "zqcrypt(1) does the same jobs from a shell.\n";
}

std::string VersionText() {
    return "ZQDecoder " + app::VersionNumberText() + "\n";
}

}  // namespace ui
