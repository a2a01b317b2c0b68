// The attachment window's checks, in its order and with its messages, and the
// exit status of every outcome, through zqcrypt's whole program in-process.

#include "support/attachments.h"
#include "support/temp_dir.h"
#include "zqcrypt/messages.h"
#include "zqcrypt_in_process.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::Not;
using namespace testsupport;
namespace fs = std::filesystem;

// A folder with a plain file, a container made from it under "secret", an
// existing file in the way and a sub-folder.
class Files {
public:
    Files() {
        WriteFile(dir_ / "plain.txt", "attachment body\n");
        WriteFile(dir_ / "taken.txt", "already here");
        fs::create_directory(dir_ / "folder");
        fs::create_symlink(dir_ / "nowhere", dir_ / "dangling");
        if (::mkfifo((dir_ / "fifo").c_str(), 0600) != 0) {
            ADD_FAILURE() << "cannot make a FIFO";
        }
        testsupport::WriteAttachment(dir_ / "e~plain.txt", "attachment body\n", "secret");
    }
    [[nodiscard]] std::string Path(const std::string& name) const { return (dir_ / name).string(); }

private:
    TempDir dir_;
};

struct CheckRow {
    const char* what;
    std::vector<std::string> arguments;  // "@name" stands for the file `name` in the test folder
    std::optional<std::string> key;
    const char* message;
};

[[nodiscard]] std::vector<std::string> Expand(const Files& files, const std::vector<std::string>& arguments) {
    std::vector<std::string> expanded;
    for (const std::string& argument : arguments) {
        expanded.push_back(argument.starts_with("@") ? files.Path(argument.substr(1)) : argument);
    }
    return expanded;
}

TEST(ZqcryptChecks, RefusesTheFirstFailingInputWithTheWindowsMessage) {
    const CheckRow rows[] = {
        {"decrypt, no source", {"decrypt", "", "@out"}, "secret", "No Encrypted File Provided!"},
        {"decrypt, missing source", {"decrypt", "@nothing.zq", "@out"}, "secret", "Encrypted File Not Found!"},
        {"decrypt, folder as source", {"decrypt", "@folder", "@out"}, "secret", "Encrypted File Not Found!"},
        {"decrypt, no destination",
         {"decrypt", "@e~plain.txt", ""},
         "secret",
         "No Decrypted Path and Filename Provided!"},
        {"decrypt, destination exists",
         {"decrypt", "@e~plain.txt", "@taken.txt"},
         "secret",
         "File Found With Same Path and Name as Decrypted File Path!"},
        {"decrypt, destination is a folder",
         {"decrypt", "@e~plain.txt", "@folder"},
         "secret",
         "File Found With Same Path and Name as Decrypted File Path!"},
        {"decrypt, destination is a FIFO",
         {"decrypt", "@e~plain.txt", "@fifo"},
         "secret",
         "File Found With Same Path and Name as Decrypted File Path!"},
        {"decrypt, destination is a dangling link",
         {"decrypt", "@e~plain.txt", "@dangling"},
         "secret",
         "File Found With Same Path and Name as Decrypted File Path!"},
        {"decrypt, paths before the key",
         {"decrypt", "@nothing.zq", "@out"},
         std::nullopt,
         "Encrypted File Not Found!"},
        {"decrypt, no key", {"decrypt", "@e~plain.txt", "@out"}, std::nullopt, "Key Missing!"},
        {"decrypt, empty key", {"decrypt", "@e~plain.txt", "@out"}, "", "Key Missing!"},
        {"decrypt, key of spaces", {"decrypt", "@e~plain.txt", "@out"}, "   ", "Key Missing!"},
        {"encrypt, no source", {"encrypt", "", "@out"}, "secret", "File to Encrypt Not Provided!"},
        {"encrypt, missing source", {"encrypt", "@nothing.txt", "@out"}, "secret", "File to Encrypt Not Found!"},
        {"encrypt, no destination",
         {"encrypt", "@plain.txt", ""},
         "secret",
         "No Encrypted Path and Filename Provided!"},
        {"encrypt, no key", {"encrypt", "@plain.txt", "@out"}, std::nullopt, "Key Missing!"},
        {"encrypt, key of spaces", {"encrypt", "@plain.txt", "@out"}, "  ", "Key Missing!"},
        {"decode-text, no key", {"decode-text"}, std::nullopt, "Key Missing!"},
        {"encode-text, no key", {"encode-text", "--raw"}, std::nullopt, "Key Missing!"},
    };
    for (const CheckRow& row : rows) {
        const Files files;
        const ProcessResult result = RunInProcess(Expand(files, row.arguments), row.key);
        EXPECT_EQ(result.status, kRefused) << row.what;
        // Without ZQ_KEY and without a terminal, the refusal says how to give the key.
        const std::string hint = row.key ? "" : "zqcrypt: " + std::string(zqcrypt::kHowToGiveTheKey) + "\n";
        const bool key_refused = std::string(row.message) == zqcrypt::kKeyMissing;
        EXPECT_EQ(result.err, std::string("zqcrypt: ") + row.message + "\n" + (key_refused ? hint : "")) << row.what;
        EXPECT_EQ(result.out, "") << row.what;
        EXPECT_FALSE(fs::exists(files.Path("out"))) << row.what;
        EXPECT_EQ(ReadFile(files.Path("taken.txt")), "already here") << row.what;
        EXPECT_TRUE(fs::is_fifo(files.Path("fifo"))) << row.what;
        EXPECT_FALSE(fs::exists(files.Path("nowhere"))) << row.what;
    }
}

TEST(ZqcryptChecks, DecryptReportsEveryStatusLineOfTheJob) {
    const Files files;
    const ProcessResult result = RunInProcess({"decrypt", files.Path("e~plain.txt"), files.Path("out")}, " secret ");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(ReadFile(files.Path("out")), "attachment body\n");
    const std::string source = files.Path("e~plain.txt");
    const std::string expected_start = "Here we go!\nGetting file: " + source + "\nDecrypting file: " + source +
                                       "\nCreated file: " + files.Path("out") + "\nFile decryption duration: ";
    ASSERT_THAT(result.out, ::testing::StartsWith(expected_start));
    EXPECT_THAT(result.out.substr(expected_start.size()), MatchesRegex("0:00:0[0-9]\n\n"));
}

TEST(ZqcryptChecks, QuietPrintsNothingAndEncryptReplacesItsDestination) {
    const Files files;
    const ProcessResult encrypted =
        RunInProcess({"--quiet", "encrypt", files.Path("plain.txt"), files.Path("taken.txt")}, "k2");
    EXPECT_EQ(encrypted.status, 0) << encrypted.err;
    EXPECT_EQ(encrypted.out + encrypted.err, "");
    const ProcessResult decrypted = RunInProcess({"decrypt", files.Path("taken.txt"), files.Path("out"), "-q"}, "k2");
    EXPECT_EQ(decrypted.status, 0) << decrypted.err;
    EXPECT_EQ(decrypted.out + decrypted.err, "");
    EXPECT_EQ(ReadFile(files.Path("out")), "attachment body\n");
}

TEST(ZqcryptChecks, AFailedJobGivesTheWindowsErrorPromptAndTheJobsText) {
    TempDir dir;
    WriteFile(dir / "one-byte.zq", std::string(1, '\0'));
    WriteFile(dir / "empty.txt", "");
    WriteFile(dir / "plain.txt", "plain");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    struct Row {
        const char* what;
        std::vector<std::string> arguments;
        const char* message;
    };
    const Row rows[] = {
        {"decrypt, no ciphertext",
         {"decrypt", (dir / "one-byte.zq").string(), (dir / "out").string()},
         "zqcrypt: Error Decoding File!\nDecryptError: "},
        {"encrypt, empty source",
         {"encrypt", (dir / "empty.txt").string(), (dir / "out").string()},
         "zqcrypt: Error Encoding File!\nEncryptError: "},
        {"encrypt, onto a FIFO",
         {"encrypt", (dir / "plain.txt").string(), (dir / "fifo").string()},
         "zqcrypt: Error Encoding File!\nEncryptError: 75  Path/File access error"},
    };
    for (const Row& row : rows) {
        const ProcessResult result = RunInProcess(row.arguments, "secret");
        EXPECT_EQ(result.status, kJobFailed) << row.what;
        EXPECT_THAT(result.err, ::testing::StartsWith(row.message)) << row.what;
        EXPECT_FALSE(fs::exists(dir / "out")) << row.what;
        EXPECT_TRUE(fs::is_fifo(dir / "fifo")) << row.what;
    }
}

TEST(ZqcryptChecks, AStatusLineThatCannotBeWrittenFailsTheCommandButNotTheJob) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full here";
    }
    const Files files;
    testsupport::ProcessRequest request;
    request.arguments = {"decrypt", files.Path("e~plain.txt"), files.Path("out")};
    request.key = "secret";
    request.stdout_path = "/dev/full";
    const ProcessResult result = RunInProcess(request);
    EXPECT_EQ(result.status, kJobFailed);
    EXPECT_THAT(result.err, HasSubstr("cannot write standard output: 61  Disk full"));
    EXPECT_EQ(ReadFile(files.Path("out")), "attachment body\n");
}

TEST(ZqcryptUsage, AWrongCommandLineShowsTheUsageAndExits64) {
    const std::vector<std::vector<std::string>> rows = {
        {},
        {"decrypt"},
        {"decrypt", "a"},
        {"decrypt", "a", "b", "c"},
        {"encrypt", "a"},
        {"decode-text", "a"},
        {"decrypt-text"},
        {"--frobnicate", "decode-text"},
        {"decrypt", "--raw", "a", "b"},
        {"decode-text", "--quiet"},
    };
    for (const auto& arguments : rows) {
        const ProcessResult result = RunInProcess(arguments, "secret");
        const std::string shown = ::testing::PrintToString(arguments);
        EXPECT_EQ(result.status, kUsage) << shown;
        EXPECT_THAT(result.err, MatchesRegex("zqcrypt: [^\n]+\nUsage: zqcrypt (.|\n)*")) << shown;
        EXPECT_EQ(result.out, "") << shown;
    }
}

TEST(ZqcryptUsage, RefusesAKeyOnTheCommandLineWithoutRepeatingIt) {
    TempDir dir;
    WriteFile(dir / "plain.txt", "x");
    const std::string plain = (dir / "plain.txt").string();
    const std::string out = (dir / "out").string();
    const std::vector<std::vector<std::string>> rows = {
        {"--key", "hunter2", "encrypt", plain, out}, {"--key=hunter2", "encrypt", plain, out},
        {"encrypt", plain, out, "-k", "hunter2"},    {"encrypt", "-khunter2", plain, out},
        {"decode-text", "--password=hunter2"},       {"decode-text", "--client-key", "hunter2"},
        {"--help", "--passphrase=hunter2"},          {"encode-text", "-phunter2"},
    };
    for (const auto& arguments : rows) {
        const ProcessResult result = RunInProcess(arguments, std::nullopt);
        const std::string shown = ::testing::PrintToString(arguments);
        EXPECT_EQ(result.status, kUsage) << shown;
        EXPECT_THAT(result.err, HasSubstr("never taken from the command line")) << shown;
        EXPECT_THAT(result.err, HasSubstr("ZQ_KEY")) << shown;
        EXPECT_THAT(result.err, HasSubstr("\"Client key: \" prompt")) << shown;
        EXPECT_THAT(result.err, Not(HasSubstr("hunter2"))) << shown;
        EXPECT_FALSE(fs::exists(out)) << shown;
    }
}

TEST(ZqcryptUsage, AfterTheEndOfOptionsAKeyLikeArgumentIsAFileName) {
    TempDir dir;
    const ProcessResult result = RunInProcess({"decrypt", "--", "--key", (dir / "out").string()}, "secret");
    EXPECT_EQ(result.status, kRefused);
    EXPECT_EQ(result.err, "zqcrypt: Encrypted File Not Found!\n");
}

TEST(ZqcryptUsage, HelpAndVersionGoToStandardOutput) {
    const ProcessResult version = RunInProcess({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "zqcrypt 4.02.4015\n");
    EXPECT_EQ(version.err, "");

    const ProcessResult help = RunInProcess({"decrypt", "-h"});
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, ::testing::StartsWith("Usage: zqcrypt decrypt"));
    EXPECT_THAT(help.out, HasSubstr("ZQ_KEY"));
    EXPECT_EQ(help.err, "");
}

}  // namespace
