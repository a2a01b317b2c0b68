// decrypt --beside: several attachments at once, each beside itself, and
// the wrong-key warning, seen from outside the built zqcrypt.

#include "support/attachments.h"
#include "support/temp_dir.h"
#include "zqcrypt_process.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using ::testing::HasSubstr;
using namespace testsupport;
namespace fs = std::filesystem;

constexpr const char* kWarning =
    "zqcrypt: The decoded file does not look like any known kind of file. The client key may be wrong.\n";

TEST(DecryptBeside, GivesTheHighestStatusOfItsFiles) {
    const struct {
        const char* what;
        const char* in_the_way;  // makes e~b.txt fail: its clear name taken, or its container broken
        int status;
        const char* skipped;
        const char* then_missing;  // a file refused after the others, when given
    } rows[] = {
        {"all decoded", "", kSucceeded, "", nullptr},
        {"a destination taken", "b.txt", kRefused, ": File Found With Same Path and Name as Decrypted File Path!\n",
         nullptr},
        {"a job failed", "e~b.txt", kJobFailed, ": DecryptError: 9  Subscript out of range\n", nullptr},
        {"a job failed, then one refused", "e~b.txt", kJobFailed, ": DecryptError: 9  Subscript out of range\n",
         "e~gone.txt"},
    };
    for (const auto& row : rows) {
        TempDir dir;
        for (const char* name : {"e~a.txt", "e~b.txt", "c.txt"}) {
            WriteAttachment(dir / name, std::string("clear ") + name, "secret");
        }
        if (std::string(row.in_the_way) == "b.txt") {
            WriteFile(dir / "b.txt", "mine");
        } else if (*row.in_the_way != '\0') {
            WriteFile(dir / row.in_the_way, std::string(1, '\x7f'));
        }
        std::vector<std::string> arguments = {"decrypt", "--beside", (dir / "e~a.txt").string(),
                                              (dir / "e~b.txt").string(), (dir / "c.txt").string()};
        if (row.then_missing != nullptr) {
            arguments.push_back((dir / row.then_missing).string());
        }
        const ProcessResult result = RunZqcrypt(arguments, "secret");
        EXPECT_EQ(result.status, row.status) << row.what;
        EXPECT_EQ(ReadFile(dir / "a.txt"), "clear e~a.txt") << row.what;
        EXPECT_EQ(ReadFile(dir / "DECODEDc.txt"), "clear c.txt") << row.what;
        std::string skipped =
            *row.skipped == '\0' ? "" : "zqcrypt: Skipped: " + (dir / "e~b.txt").string() + row.skipped;
        if (row.then_missing != nullptr) {
            skipped += "zqcrypt: Skipped: " + (dir / row.then_missing).string() + ": Encrypted File Not Found!\n";
        }
        EXPECT_EQ(result.err, skipped) << row.what;
        EXPECT_THAT(result.out, HasSubstr("Created file: " + (dir / "DECODEDc.txt").string() + "\n")) << row.what;
    }
}

// A bare name is a file in the current folder, and so is its decoded file.
TEST(DecryptBeside, ABareNameIsDecodedInTheCurrentFolder) {
    TempDir dir;
    WriteAttachment(dir / "e~a.pdf", "clear", "secret");
    testsupport::ProcessRequest request;
    request.arguments = {"decrypt", "--beside", "e~a.pdf"};
    request.key = "secret";
    request.working_dir = dir.Path().string();
    const ProcessResult result = RunZqcrypt(request);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_THAT(result.out, HasSubstr("Created file: a.pdf\n"));
    ASSERT_TRUE(fs::exists(dir / "a.pdf"));
    EXPECT_EQ(ReadFile(dir / "a.pdf"), "clear");
}

// A reader that went away (`| head -n 1`) ends no queue: every file is still
// decoded or skipped, and the status says what was lost.
TEST(DecryptBeside, OutlivesItsClosedOutputs) {
    const struct {
        const char* what;
        bool stdout_closed;
        bool stderr_closed;
        const char* complaint;
    } rows[] = {
        {"standard output", true, false, "zqcrypt: cannot write standard output: 56  Broken pipe\n"},
        {"standard error", false, true, ""},
    };
    for (const auto& row : rows) {
        TempDir dir;
        testsupport::ProcessRequest request;
        request.arguments = {"decrypt", "--beside"};
        request.key = "secret";
        for (const std::string name : {"e~1", "e~2", "e~3", "e~4"}) {
            WriteAttachment(dir / name, "clear " + name, "secret");
            request.arguments.push_back((dir / name).string());
        }
        WriteFile(dir / "4", "mine");  // e~4 is refused: 1 alone, 2 once a write fails
        request.stdout_closed = row.stdout_closed;
        request.stderr_closed = row.stderr_closed;
        const ProcessResult result = RunZqcrypt(request);
        EXPECT_EQ(result.status, kJobFailed) << row.what;
        for (const std::string name : {"1", "2", "3"}) {
            EXPECT_EQ(ReadFile(dir / name), "clear e~" + name) << row.what;
        }
        const std::string skipped =
            (dir / "e~4").string() + ": " + "File Found With Same Path and Name as Decrypted File Path!\n";
        EXPECT_EQ(result.err, row.stderr_closed ? "" : "zqcrypt: Skipped: " + skipped + row.complaint) << row.what;
    }
}

// A line break in a name cannot forge a line on standard error.
TEST(DecryptBeside, EscapesNamesOnStandardError) {
    TempDir dir;
    WriteAttachment(dir / "e~taken\n.txt", "clear", "secret");
    WriteFile(dir / "taken\n.txt", "mine");
    WriteNoiseContainer(dir / "e~noise\n.txt", 8192, 7);
    const ProcessResult result = RunZqcrypt(
        {"decrypt", "-q", "--beside", (dir / "e~taken\n.txt").string(), (dir / "e~noise\n.txt").string()}, "secret");
    EXPECT_EQ(result.status, kRefused);
    EXPECT_EQ(result.err, "zqcrypt: Skipped: " + (dir / "e~taken\\x0A.txt").string() +
                              ": File Found With Same Path and Name as Decrypted File Path!\n"
                              "zqcrypt: " +
                              (dir / "noise\\x0A.txt").string() + ": " + std::string(kWarning).substr(9));
}

TEST(DecryptBeside, RefusesAllWithoutAKey) {
    TempDir dir;
    WriteAttachment(dir / "e~a.txt", "clear", "secret");
    const ProcessResult result = RunZqcrypt({"decrypt", "-q", "--beside", (dir / "e~a.txt").string()}, "");
    EXPECT_EQ(result.status, kRefused);
    EXPECT_EQ(result.err, "zqcrypt: Key Missing!\n");
    EXPECT_FALSE(fs::exists(dir / "a.txt"));
}

// Noise out (what a wrong key gives) still writes the file and exits 0, with
// a warning on standard error; short files and the right key get none.
TEST(WrongKeyWarning, GoesToStandardErrorAndStillSucceeds) {
    const struct {
        const char* what;
        std::size_t noise;  // bytes of a noise container, or 0 for a real one of text
        bool warns;
    } rows[] = {
        {"noise", 8192, true},
        {"text under the right key", 0, false},
        {"noise too short to judge", 4000, false},
    };
    for (const auto& row : rows) {
        TempDir dir;
        if (row.noise != 0) {
            WriteNoiseContainer(dir / "e~a.txt", row.noise, 7);
        } else {
            WriteAttachment(dir / "e~a.txt", std::string(8192, 'x'), "secret");
        }
        const ProcessResult single =
            RunZqcrypt({"decrypt", "-q", (dir / "e~a.txt").string(), (dir / "one.txt").string()}, "secret");
        EXPECT_EQ(single.status, 0) << row.what;
        EXPECT_EQ(single.err, row.warns ? kWarning : "") << row.what;
        EXPECT_TRUE(fs::exists(dir / "one.txt")) << row.what;

        const ProcessResult beside = RunZqcrypt({"decrypt", "-q", "--beside", (dir / "e~a.txt").string()}, "secret");
        EXPECT_EQ(beside.status, 0) << row.what;
        const std::string named = "zqcrypt: " + (dir / "a.txt").string() + ": " + std::string(kWarning).substr(9);
        EXPECT_EQ(beside.err, row.warns ? named : "") << row.what;
    }
}

}  // namespace
