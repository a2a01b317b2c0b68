#include "jobs/decrypt_beside.h"

#include "cipher/file_container.h"
#include "jobs/beside_queue.h"
#include "platform/scoped_env.h"
#include "support/attachments.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace m_Decoder;
using ::testing::ElementsAre;
using namespace testsupport;
namespace fs = std::filesystem;

// A short text attachment, under the key "secret".
const std::string kHello = "Hello, attachment!\r\nHello, attachment!\r\nHello, attachment!\r\n";

TEST(PlanDecryptBeside, ProposesBesideAndRefusesAsDecodeDoes) {
    TempDir dir;
    WriteAttachment(dir / "e~hello.txt", kHello, "secret");
    WriteAttachment(dir / "mail.zq", kHello, "secret");
    WriteAttachment(dir / "e~taken.txt", kHello, "secret");
    WriteFile(dir / "taken.txt", "mine");
    const struct {
        const char* source;
        const char* key;
        const char* destination;
        std::optional<JobRefusal> refusal;
    } rows[] = {
        {"e~hello.txt", "secret", "hello.txt", std::nullopt},
        {"mail.zq", "secret", "DECODEDmail.zq", std::nullopt},
        {"e~taken.txt", "secret", "taken.txt", JobRefusal::kDestinationExists},
        {"e~gone.txt", "secret", "gone.txt", JobRefusal::kSourceNotFound},
        {"e~hello.txt", "", "hello.txt", JobRefusal::kKeyMissing},
    };
    for (const auto& row : rows) {
        const m_Decoder::BesidePlan plan = m_Decoder::PlanDecryptBeside((dir / row.source).string(), row.key);
        EXPECT_EQ(plan.source, (dir / row.source).string());
        EXPECT_EQ(plan.destination, (dir / row.destination).string()) << row.source;
        EXPECT_EQ(plan.refusal, row.refusal) << row.source;
    }
}

TEST(DecryptBeside, DecodesRefusesOrFailsEachFile) {
    TempDir dir;
    const testsupport::ScopedEnv data_home("XDG_DATA_HOME", (dir / "data").string());
    WriteAttachment(dir / "e~hello.txt", kHello, "secret");
    WriteFile(dir / "e~broken.txt", std::string(1, '\x7f'));  // a salt longer than the file
    std::vector<std::string> lines;
    const auto status = [&lines](const std::string& line) { lines.push_back(line); };
    m_Decoder::WrongKeyCheck check;

    const BesideOutcome decoded = m_Decoder::DecryptBeside((dir / "e~hello.txt").string(), "secret", check, status);
    EXPECT_EQ(decoded.kind, BesideOutcome::Kind::kDecoded);
    EXPECT_EQ(decoded.destination, (dir / "hello.txt").string());
    EXPECT_FALSE(decoded.suspect_wrong_key);
    EXPECT_EQ(ReadFile(dir / "hello.txt"), kHello);
    ASSERT_EQ(lines.size(), 6U);
    EXPECT_EQ(lines.front(), "Here we go!");
    EXPECT_EQ(lines[3], "Created file: " + (dir / "hello.txt").string());

    lines.clear();
    const BesideOutcome refused = m_Decoder::DecryptBeside((dir / "e~hello.txt").string(), "secret", check, status);
    EXPECT_EQ(refused.kind, BesideOutcome::Kind::kRefused);
    EXPECT_EQ(refused.reason, "File Found With Same Path and Name as Decrypted File Path!");
    EXPECT_TRUE(lines.empty());

    const BesideOutcome failed = m_Decoder::DecryptBeside((dir / "e~broken.txt").string(), "secret", check, status);
    EXPECT_EQ(failed.kind, BesideOutcome::Kind::kFailed);
    EXPECT_THAT(failed.reason, ::testing::StartsWith("DecryptError: 9  "));
    EXPECT_THAT(lines, ElementsAre("Here we go!", "Getting file: " + (dir / "e~broken.txt").string(),
                                   "Decrypting file: " + (dir / "e~broken.txt").string()));
    EXPECT_FALSE(fs::exists(dir / "broken.txt"));

    // Noise comes out, as from a wrong key: decoded, and doubted.
    WriteNoiseContainer(dir / "e~noise.txt", 8192, 1);
    const BesideOutcome noise = m_Decoder::DecryptBeside((dir / "e~noise.txt").string(), "secret", check, status);
    EXPECT_EQ(noise.kind, BesideOutcome::Kind::kDecoded);
    EXPECT_TRUE(noise.suspect_wrong_key);
    EXPECT_EQ(fs::file_size(dir / "noise.txt"), 8192U);
}

TEST(QueueTexts, NameTheFileAndCountTheSkipped) {
    EXPECT_EQ(m_Decoder::SkippedLine("/m/e~a.pdf", "Encrypted File Not Found!"),
              "Skipped: /m/e~a.pdf: Encrypted File Not Found!");
    const struct {
        std::size_t skipped;
        std::size_t total;
        const char* text;
    } rows[] = {
        {1, 5, "1 of 5 files was not decoded: see the list."},
        {2, 5, "2 of 5 files were not decoded: see the list."},
        {3, 3, "3 of 3 files were not decoded: see the list."},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(m_Decoder::NotDecodedSummary(row.skipped, row.total), row.text);
    }
}

}  // namespace

TEST(DecryptQueueBeside, CountsEachEndAndStopsWhereAsked) {
    TempDir dir;
    const testsupport::ScopedEnv data_home("XDG_DATA_HOME", (dir / "data").string());
    for (const char* name : {"e~1.txt", "e~2.txt", "e~3.txt", "e~4.txt"}) {
        WriteAttachment(dir / name, kHello, "secret");
    }
    WriteFile(dir / "2.txt", "mine");
    const std::vector<std::string> queue = {(dir / "e~1.txt").string(), (dir / "e~2.txt").string(),
                                            (dir / "gone").string(), (dir / "e~3.txt").string(),
                                            (dir / "e~4.txt").string()};
    std::vector<std::string> heard;
    m_Decoder::BesideQueueEvents events;
    events.finished = [&](const std::string& source, const BesideOutcome& outcome) {
        heard.push_back(fs::path(source).filename().string() + " " + std::to_string(static_cast<int>(outcome.kind)));
    };
    events.stop = [&] { return heard.size() == 4; };
    events.not_started = [&](const std::string& source) { heard.push_back(fs::path(source).filename().string()); };
    const m_Decoder::BesideTally tally = m_Decoder::DecryptQueueBeside(queue, "secret", events);
    EXPECT_THAT(heard, ElementsAre("e~1.txt 0", "e~2.txt 1", "gone 1", "e~3.txt 0", "e~4.txt"));
    EXPECT_EQ(tally.total, 5U);
    EXPECT_EQ(tally.decoded, 2U);
    EXPECT_EQ(tally.refused, 2U);
    EXPECT_EQ(tally.not_started, 1U);
    EXPECT_EQ(tally.NotDecoded(), 3U);
    EXPECT_EQ(ReadFile(dir / "3.txt"), kHello);
    EXPECT_FALSE(fs::exists(dir / "4.txt"));
}
