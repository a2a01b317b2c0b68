#include "zqcrypt/arguments.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace {

using zqcrypt::Command;
using zqcrypt::Invocation;
using zqcrypt::ParseArguments;
using zqcrypt::UsageError;

[[nodiscard]] Invocation Parse(std::vector<std::string_view> arguments) {
    return ParseArguments(arguments);
}

void ExpectUsageError(const std::vector<std::string_view>& arguments, const char* message) {
    try {
        (void)Parse(arguments);
        ADD_FAILURE() << "accepted " << ::testing::PrintToString(arguments);
    } catch (const UsageError& error) {
        EXPECT_STREQ(error.what(), message);
    }
}

TEST(ParseArguments, TakesOptionsAnywhereAndPathsAsGiven) {
    struct Row {
        std::vector<std::string_view> arguments;
        Command command;
        const char* source;
        const char* destination;
        bool raw;
        bool quiet;
    };
    const Row rows[] = {
        {{"decrypt", "a.zq", "a"}, Command::kDecrypt, "a.zq", "a", false, false},
        {{"-q", "encrypt", " a ", "b"}, Command::kEncrypt, " a ", "b", false, true},
        {{"decrypt", "a", "b", "--quiet"}, Command::kDecrypt, "a", "b", false, true},
        {{"decrypt", "--", "-a", "--key"}, Command::kDecrypt, "-a", "--key", false, false},
        {{"decrypt", "-", "b"}, Command::kDecrypt, "-", "b", false, false},
        {{"--raw", "decode-text"}, Command::kDecodeText, "", "", true, false},
        {{"encode-text"}, Command::kEncodeText, "", "", false, false},
        {{"decrypt", "--help"}, Command::kHelp, "", "", false, false},
        {{"--version", "nonsense"}, Command::kVersion, "", "", false, false},
        {{"-h", "-V"}, Command::kHelp, "", "", false, false},
    };
    for (const Row& row : rows) {
        const Invocation invocation = Parse(row.arguments);
        const std::string shown = ::testing::PrintToString(row.arguments);
        EXPECT_EQ(invocation.command, row.command) << shown;
        EXPECT_EQ(invocation.source, row.source) << shown;
        EXPECT_EQ(invocation.destination, row.destination) << shown;
        EXPECT_EQ(invocation.raw, row.raw) << shown;
        EXPECT_EQ(invocation.quiet, row.quiet) << shown;
    }
}

TEST(ParseArguments, TakesFilesToDecryptBesideThemselves) {
    const Invocation invocation = Parse({"decrypt", "--beside", "e~a.pdf", "-q", "--", "-b"});
    EXPECT_EQ(invocation.command, Command::kDecrypt);
    EXPECT_EQ(invocation.beside, (std::vector<std::string>{"e~a.pdf", "-b"}));
    EXPECT_TRUE(invocation.source.empty());
    EXPECT_TRUE(invocation.quiet);

    const struct {
        std::vector<std::string_view> arguments;
        const char* message;
    } refused[] = {
        {{"decrypt", "--beside"}, "decrypt --beside takes one or more file names"},
        {{"encrypt", "--beside", "a"}, "--beside applies only to decrypt"},
        {{"decode-text", "--beside"}, "--beside applies only to decrypt"},
        {{"decrypt", "--beside", "--raw", "a"}, "--raw applies only to decode-text and encode-text"},
    };
    for (const auto& row : refused) {
        ExpectUsageError(row.arguments, row.message);
    }
}

TEST(ParseArguments, NeverRepeatsWhatFollowsAnUnknownOption) {
    struct Row {
        std::vector<std::string_view> arguments;
        const char* message;
    };
    const Row rows[] = {
        {{"--colour=hunter2", "decode-text"}, "unknown option --colour"},
        {{"-xhunter2", "decode-text"}, "unknown option -x"},
        {{"hunter2"}, "unknown command; the commands are decrypt, encrypt, decode-text and encode-text"},
        {{"decrypt", "a", "b", "hunter2"}, "decrypt takes two file names, SRC and DST"},
        {{"decode-text", "hunter2"}, "decode-text takes no file names: it reads standard input"},
    };
    for (const Row& row : rows) {
        ExpectUsageError(row.arguments, row.message);
    }
}

TEST(ParseArguments, RefusesEveryOptionThatLooksLikeAKey) {
    const std::vector<std::string_view> key_options = {
        "--key",    "--key=x",      "-k",       "-kx", "--client-key", "--keyfile", "--password",
        "--pass=x", "--passphrase", "--secret", "-p",  "-px",          "--pwd",
    };
    for (const std::string_view option : key_options) {
        EXPECT_THROW((void)Parse({"decode-text", option}), UsageError) << option;
        EXPECT_THROW((void)Parse({option, "--help"}), UsageError) << option;
    }
}

}  // namespace
