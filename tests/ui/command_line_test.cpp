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
        std::string unknown;
    };
    const Row rows[] = {
        {"nothing", {}, Action::kOpenWindow, {}, ""},
        {"files", {"e~a.pdf", "b\xE9.txt"}, Action::kOpenWindow, {"e~a.pdf", "b\xE9.txt"}, ""},
        {"a lone dash is no file", {"e~a.pdf", "-"}, Action::kUnknownOption, {"e~a.pdf"}, "-"},
        {"help wins, wherever", {"e~a.pdf", "--frob", "--version", "-h"}, Action::kHelp, {"e~a.pdf"}, "--frob"},
        {"version", {"--version", "e~a.pdf"}, Action::kVersion, {"e~a.pdf"}, ""},
        {"unknown option", {"e~a.pdf", "--frob", "-x"}, Action::kUnknownOption, {"e~a.pdf"}, "--frob"},
        {"after --, options are files", {"--", "--help", "-x", "--"}, Action::kOpenWindow, {"--help", "-x", "--"}, ""},
    };
    for (const Row& row : rows) {
        const ui::CommandLine line = Parse(row.words);
        EXPECT_EQ(line.action, row.action) << row.what;
        EXPECT_THAT(line.files, ElementsAreArray(row.files)) << row.what;
        EXPECT_EQ(line.unknown_option, row.unknown) << row.what;
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
