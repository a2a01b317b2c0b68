#include "ui/command_line.h"

#include "version.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>

namespace ui {
namespace {

enum class QtOptionKind { kNone, kAlone, kWithValue };

struct QtOption {
    std::string_view name;
    QtOptionKind kind;
};

// The options that Qt 6 takes out of argv itself, as its application classes
// and its X11 plugin do, without their dash. Wherever Qt would take the next
// word as the value, so does the program: `-qwindowtitle e~a.pdf` names no
// file. The X11 ones are known on every window system, so that a command line
// means the same everywhere.
constexpr auto kQtOptions = std::to_array<QtOption>({
    {"platform", QtOptionKind::kWithValue},      {"platformpluginpath", QtOptionKind::kWithValue},
    {"platformtheme", QtOptionKind::kWithValue}, {"plugin", QtOptionKind::kWithValue},
    {"qmljsdebugger", QtOptionKind::kWithValue}, {"qwindowgeometry", QtOptionKind::kWithValue},
    {"qwindowicon", QtOptionKind::kWithValue},   {"qwindowtitle", QtOptionKind::kWithValue},
    {"reverse", QtOptionKind::kAlone},           {"session", QtOptionKind::kWithValue},
    {"style", QtOptionKind::kWithValue},         {"stylesheet", QtOptionKind::kWithValue},
    {"testability", QtOptionKind::kAlone},       {"widgetcount", QtOptionKind::kAlone},
    {"display", QtOptionKind::kWithValue},       {"dograb", QtOptionKind::kAlone},
    {"geometry", QtOptionKind::kWithValue},      {"icon", QtOptionKind::kWithValue},
    {"name", QtOptionKind::kWithValue},          {"nograb", QtOptionKind::kAlone},
    {"title", QtOptionKind::kWithValue},         {"visual", QtOptionKind::kWithValue},
});

// These three may carry their value in the same word: -style=fusion.
constexpr auto kQtJoinedValue = std::to_array<std::string_view>({"qmljsdebugger=", "style=", "stylesheet="});

// What Qt makes of `word`, which begins with a dash. Qt takes --platform as -platform.
[[nodiscard]] QtOptionKind QtOptionOf(std::string_view word) {
    const std::string_view name = word.substr(word.starts_with("--") ? 2 : 1);
    if (std::ranges::any_of(kQtJoinedValue, [name](std::string_view joined) { return name.starts_with(joined); })) {
        return QtOptionKind::kAlone;
    }
    const auto option = std::ranges::find(kQtOptions, name, &QtOption::name);
    return option == std::end(kQtOptions) ? QtOptionKind::kNone : option->kind;
}

}  // namespace

CommandLine ParseCommandLine(std::span<char* const> arguments) {
    CommandLine line;
    const auto end_of_options =
        std::ranges::find_if(arguments, [](const char* argument) { return std::string_view(argument) == "--"; });
    line.option_words = static_cast<std::size_t>(end_of_options - arguments.begin());
    bool help = false;
    bool version = false;
    for (auto it = arguments.begin(); it != end_of_options; ++it) {
        const std::string_view word(*it);
        if (!word.starts_with('-')) {
            line.files.emplace_back(word);
        } else if (word == "--help" || word == "-h") {
            help = true;
        } else if (word == "--version") {
            version = true;
        } else if (const QtOptionKind qt = QtOptionOf(word);
                   qt == QtOptionKind::kWithValue && std::next(it) != end_of_options) {
            ++it;  // Qt's value, whatever it looks like
        } else if (qt == QtOptionKind::kWithValue && line.usage_error.empty()) {
            line.usage_error = "option " + std::string(word) + " needs a value";
        } else if (qt == QtOptionKind::kNone && line.usage_error.empty()) {
            line.usage_error = "unknown option " + std::string(word);
        }
    }
    if (end_of_options != arguments.end()) {
        line.files.insert(line.files.end(), std::next(end_of_options), arguments.end());
    }
    if (help) {
        line.action = CommandLine::Action::kHelp;
    } else if (version) {
        line.action = CommandLine::Action::kVersion;
    } else if (!line.usage_error.empty()) {
        line.action = CommandLine::Action::kUsageError;
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
