// ZQDecoder's own command line: the parse, and the built program answering
// --help and --version without a display.

#include "ui/command_line.h"

#include "support/child_process.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using Action = ui::CommandLine::Action;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::StartsWith;

[[nodiscard]] ui::CommandLine Parse(std::vector<std::string> words) {
    std::vector<char*> arguments;
    for (std::string& word : words) {
        arguments.push_back(word.data());
    }
    return ui::ParseCommandLine(arguments);
}

// The words of `line`, split at its spaces.
[[nodiscard]] std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

TEST(CommandLine, OptionsUntilTheEndOfOptionsThenFilesByteForByte) {
    struct Row {
        const char* what;
        std::vector<std::string> words;
        Action action;
        std::vector<std::string> files;
        std::string usage_error;
        std::size_t qt_words;  // before `--`: what Qt is given
    };
    const Row rows[] = {
        {"nothing", {}, Action::kOpenWindow, {}, "", 0},
        {"files", {"e~a.pdf", "b\xE9.txt"}, Action::kOpenWindow, {"e~a.pdf", "b\xE9.txt"}, "", 2},
        {"a lone dash is no file", {"e~a.pdf", "-"}, Action::kUsageError, {"e~a.pdf"}, "unknown option -", 2},
        {"help wins", {"e~a.pdf", "-q", "--version", "-h"}, Action::kHelp, {"e~a.pdf"}, "unknown option -q", 4},
        {"version", {"--version", "e~a.pdf"}, Action::kVersion, {"e~a.pdf"}, "", 2},
        {"unknown option", {"e~a.pdf", "--frob", "-x"}, Action::kUsageError, {"e~a.pdf"}, "unknown option --frob", 3},
        {"after --, all files", {"--", "--help", "-x", "--"}, Action::kOpenWindow, {"--help", "-x", "--"}, "", 0},
        {"Qt's options, and values that look like options",
         {"-platform", "xcb", "--reverse", "-qwindowtitle", "-x", "-style=F", "e~a.pdf", "-title", "--help"},
         Action::kOpenWindow,
         {"e~a.pdf"},
         "",
         9},
        {"-- ends Qt's too", {"-reverse", "--", "-platform", "x"}, Action::kOpenWindow, {"-platform", "x"}, "", 1},
        {"a value cut off by --", {"-style", "--", "F"}, Action::kUsageError, {"F"}, "option -style needs a value", 1},
    };
    for (const Row& row : rows) {
        const ui::CommandLine line = Parse(row.words);
        EXPECT_EQ(line.action, row.action) << row.what;
        EXPECT_THAT(line.files, ElementsAreArray(row.files)) << row.what;
        EXPECT_EQ(line.usage_error, row.usage_error) << row.what;
        EXPECT_EQ(line.option_words, row.qt_words) << row.what;
    }
}

TEST(CommandLine, TheProgramAnswersWithoutADisplayAndRefusesAnUnknownOption) {
    struct Row {
        const char* arguments;
        bool display;  // an offscreen one; without it, reaching the application object aborts
        int status;
        std::string out;
        std::string err;
    };
    const Row rows[] = {
        {"--help", false, 0, "Usage: ZQDecoder [Qt options] [--] [FILE...]\n", ""},
        {"e~a.pdf --help", false, 0, "Usage: ZQDecoder", ""},
        {"-platform offscreen --version", false, 0, "ZQDecoder 4.02.4015\n", ""},
        {"--frob e~a.pdf", true, ui::kUsageExitStatus, "", "ZQDecoder: unknown option --frob\nUsage: ZQDecoder "},
        {"--bogus", false, ui::kUsageExitStatus, "", "ZQDecoder: unknown option --bogus\nUsage: ZQDecoder "},
        // Qt must not see the words after --: it would open a window offscreen.
        {"-- -platform offscreen", false, 1, "", "a Wayland session needs the package qt6-wayland installed.\n"},
    };
    for (const Row& row : rows) {
        testsupport::ChildProgram program;
        program.program = ZQDECODER_PATH;
        program.arguments = Words(row.arguments);
        program.environment = testsupport::EnvironmentWith(
            {"DISPLAY", "WAYLAND_DISPLAY", row.display ? "QT_QPA_PLATFORM=offscreen" : "QT_QPA_PLATFORM"});
        const testsupport::ProcessResult result = testsupport::RunChild(program, {});
        EXPECT_EQ(result.status, row.status) << row.arguments;
        EXPECT_THAT(result.out, StartsWith(row.out)) << row.arguments;
        // Qt may say a word of its own first (no XDG_RUNTIME_DIR, say).
        EXPECT_THAT(result.err, HasSubstr(row.err)) << row.arguments;
        if (row.out.empty()) {
            EXPECT_EQ(result.out, "") << row.arguments;
        }
    }
}

}  // namespace
