#include "jobs/file_job_checks.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using m_Decoder::CheckJobInputs;
using m_Decoder::FileJob;
using m_Decoder::JobRefusal;

TEST(FileJobChecks, TheFirstFailingCheckInOrderRefusesTheJob) {
    testsupport::TempDir dir;
    const std::string existing = (dir / "e~report.pdf").string();
    const std::string other = (dir / "other.pdf").string();
    const std::string missing = (dir / "missing.pdf").string();
    testsupport::WriteFile(existing, "x");
    testsupport::WriteFile(other, "y");
    // Any name at all refuses a decryption, though FileExists sees no file there.
    const std::string folder = (dir / "folder").string();
    const std::string fifo = (dir / "fifo").string();
    const std::string dangling = (dir / "dangling").string();
    std::filesystem::create_directory(folder);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink(missing, dangling);

    struct Row {
        const char* what;
        FileJob job;
        std::string source;
        std::string dest;
        std::string key;
        std::optional<JobRefusal> refusal;
    };
    const Row rows[] = {
        {"decrypt: all missing", FileJob::kDecrypt, "", "", "", JobRefusal::kNoSource},
        {"decrypt: source not there", FileJob::kDecrypt, missing, "", "", JobRefusal::kSourceNotFound},
        {"decrypt: source is a folder", FileJob::kDecrypt, dir.Path().string(), other, "k",
         JobRefusal::kSourceNotFound},
        {"decrypt: no destination", FileJob::kDecrypt, existing, "", "", JobRefusal::kNoDestination},
        {"decrypt: destination exists, before the key", FileJob::kDecrypt, existing, other, "",
         JobRefusal::kDestinationExists},
        {"decrypt: destination is a folder", FileJob::kDecrypt, existing, folder, "k", JobRefusal::kDestinationExists},
        {"decrypt: destination is a FIFO", FileJob::kDecrypt, existing, fifo, "k", JobRefusal::kDestinationExists},
        {"decrypt: destination is a dangling link", FileJob::kDecrypt, existing, dangling, "k",
         JobRefusal::kDestinationExists},
        {"decrypt: key last", FileJob::kDecrypt, existing, missing, "", JobRefusal::kKeyMissing},
        {"decrypt: runs", FileJob::kDecrypt, existing, missing, "k", std::nullopt},
        {"encrypt: no source", FileJob::kEncrypt, "", other, "k", JobRefusal::kNoSource},
        {"encrypt: source not there", FileJob::kEncrypt, missing, other, "k", JobRefusal::kSourceNotFound},
        {"encrypt: no destination", FileJob::kEncrypt, existing, "", "k", JobRefusal::kNoDestination},
        {"encrypt: replaces a destination, runs without a key", FileJob::kEncrypt, existing, other, "", std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CheckJobInputs(row.job, row.source, row.dest, row.key), row.refusal) << row.what;
    }
}

}  // namespace
