#include "jobs/file_job.h"

#include "platform/runtime_error.h"
#include "support/temp_dir.h"
#include "test_paths.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace m_Decoder;
using ::testing::ElementsAre;
using ::testing::StartsWith;
using namespace testsupport;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path kVectors = fs::path(testsupport::kDataDir) / "vectors";

// A clock that reads `start` at the first call and `start + elapsed` after.
m_Decoder::WallClock ClockOf(std::chrono::seconds elapsed) {
    const std::chrono::sys_seconds start = std::chrono::sys_days(std::chrono::year(2024) / 3 / 30) + 23h + 59min;
    return [start, elapsed, calls = 0]() mutable { return calls++ == 0 ? start : start + elapsed; };
}

struct Job {
    std::vector<std::string> lines;
    std::string result;
};

Job RunJob(FileJob kind, const fs::path& source, const fs::path& dest, const std::string& key,
           std::chrono::seconds elapsed = 7s, const m_Encryption::Progress& progress = {}) {
    Job job;
    job.result = RunFileJob(kind, source.string(), dest.string(), key,
                            {.status = [&job](const std::string& line) { job.lines.push_back(line); },
                             .clock = ClockOf(elapsed),
                             .progress = progress});
    return job;
}

TEST(FormatElapsed, ShowsTheTimeOfDayPart) {
    const struct {
        std::chrono::seconds elapsed;
        const char* text;
    } rows[] = {
        {0s, "0:00:00"},
        {7s, "0:00:07"},
        {59s, "0:00:59"},
        {60s, "0:01:00"},
        {1h + 5min, "1:05:00"},
        {10h, "10:00:00"},
        {23h + 59min + 59s, "23:59:59"},
        {24h, "0:00:00"},
        {25h, "1:00:00"},
        {-7s, "0:00:07"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FormatElapsed(row.elapsed), row.text) << row.elapsed.count() << " s";
    }
}

TEST(RunFileJob, DecryptsASharedVectorAndLogsEachStep) {
    TempDir dir;
    const fs::path source = kVectors / "hello.zq";
    const fs::path dest = dir / "hello.txt";

    const Job job = RunJob(FileJob::kDecrypt, source, dest, "secret");

    EXPECT_EQ(job.result, "");
    EXPECT_THAT(job.lines, ElementsAre("Getting file: " + source.string(), "Decrypting file: " + source.string(),
                                       "Created file: " + dest.string(), "File decryption duration: 0:00:07", ""));
    EXPECT_EQ(ReadFile(dest), ReadFile(kVectors / "hello.plain"));
}

TEST(RunFileJob, EncryptsIntoAContainerThatDecryptsBack) {
    TempDir dir;
    WriteFile(dir / "plain.bin", std::string("clear\0bytes\xff", 12));

    std::uint64_t last_done = 0;
    std::uint64_t last_total = 0;
    const Job encrypt = RunJob(FileJob::kEncrypt, dir / "plain.bin", dir / "e~plain.bin", "key", 25h,
                               [&](std::uint64_t done, std::uint64_t total) {
                                   last_done = done;
                                   last_total = total;
                               });
    EXPECT_EQ(encrypt.result, "");
    EXPECT_EQ(last_done, 12U) << "progress reaches the container";
    EXPECT_EQ(last_total, 12U);
    EXPECT_THAT(
        encrypt.lines,
        ElementsAre("Getting file: " + (dir / "plain.bin").string(), "Encrypting file: " + (dir / "plain.bin").string(),
                    "Created file: " + (dir / "e~plain.bin").string(), "File encryption duration: 1:00:00", ""));
    EXPECT_NE(ReadFile(dir / "e~plain.bin").substr(0, 12), ReadFile(dir / "plain.bin"));

    const Job decrypt = RunJob(FileJob::kDecrypt, dir / "e~plain.bin", dir / "back.bin", "key");
    EXPECT_EQ(decrypt.result, "");
    EXPECT_EQ(ReadFile(dir / "back.bin"), ReadFile(dir / "plain.bin"));
}

TEST(RunFileJob, AMissingSourceStopsAfterTheFirstLine) {
    TempDir dir;
    const struct {
        FileJob kind;
        const char* prefix;
    } rows[] = {{FileJob::kDecrypt, "DecryptError: "}, {FileJob::kEncrypt, "EncryptError: "}};
    for (const auto& row : rows) {
        const Job job = RunJob(row.kind, dir / "vanished", dir / "out", "key");
        EXPECT_EQ(job.result, std::string(row.prefix) + "53  File not found");
        EXPECT_THAT(job.lines, ElementsAre("Getting file: " + (dir / "vanished").string()));
        EXPECT_FALSE(fs::exists(dir / "out"));
    }
}

TEST(RunFileJob, AContainerFailureIsPassedOnBehindThePrefix) {
    TempDir dir;
    WriteFile(dir / "empty", "");
    const struct {
        FileJob kind;
        const char* prefix;
        const char* working;
    } rows[] = {{FileJob::kDecrypt, "DecryptError: ", "Decrypting file: "},
                {FileJob::kEncrypt, "EncryptError: ", "Encrypting file: "}};
    for (const auto& row : rows) {
        const Job job = RunJob(row.kind, dir / "empty", dir / "out", "key");
        EXPECT_THAT(job.result, StartsWith(row.prefix));
        EXPECT_THAT(job.result, ::testing::MatchesRegex(std::string(row.prefix) + "-?[0-9]+  .+"));
        EXPECT_THAT(job.lines,
                    ElementsAre("Getting file: " + (dir / "empty").string(), row.working + (dir / "empty").string()));
        EXPECT_FALSE(fs::exists(dir / "out"));
    }
}

TEST(RunFileJob, AStatusLineThatCannotBeAddedEndsTheJob) {
    TempDir dir;
    WriteFile(dir / "plain", "x");
    std::vector<std::string> lines;
    const std::string result = RunFileJob(FileJob::kEncrypt, (dir / "plain").string(), (dir / "out").string(), "key",
                                          {.status =
                                               [&lines](const std::string& line) {
                                                   if (lines.size() == 1) {
                                                       throw platform::RuntimeError(platform::err::kDeviceIoError);
                                                   }
                                                   lines.push_back(line);
                                               },
                                           .clock = ClockOf(0s)});
    EXPECT_EQ(result, "EncryptError: 57  Device I/O error");
    EXPECT_EQ(lines.size(), 1U);
    EXPECT_FALSE(fs::exists(dir / "out")) << "the container never ran";
}

}  // namespace
