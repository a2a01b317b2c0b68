#include "cipher/chunk_pump.h"
#include "cipher/encryption_state.h"
#include "cipher/file_container.h"
#include "platform/crypt/crypto_provider.h"
#include "platform/scoped_env.h"
#include "support/crypto_faults.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <sys/resource.h>

namespace {

using m_Encryption::DecryptFileWithSalt;
using m_Encryption::EncryptFileWithSalt;
using m_Encryption::sSalt;
using namespace platform::crypt;
using namespace testsupport;
namespace fs = std::filesystem;

constexpr const char* kOld = "old destination, which must survive";

std::size_t EntriesIn(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class FileContainerFailureTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(platform::crypt::OpenHandleCount(), 0U);
        sSalt.clear();
    }

    TempDir dir_;
    ScopedEnv data_home_{"XDG_DATA_HOME", (dir_ / "data").string()};
};

TEST_F(FileContainerFailureTest, FailuresLeaveTheOldDestinationAsItWas) {
    enum class Op { kEncrypt, kDecrypt };
    struct Row {
        const char* what;
        Op op;
        std::optional<std::string> source;  // none: the source is a folder
        const char* error;
        std::string salt_after;
        std::optional<CryptCall> failing_call = std::nullopt;
        int successes_first = 0;
    };
    const std::string big(3 * cipher::kChunkSize + 5, 'b');
    const Row rows[] = {
        {"empty source", Op::kEncrypt, "", "62  Input past end of file", ""},
        {"empty container", Op::kDecrypt, "", "62  Input past end of file", ""},
        {"one-byte container 0", Op::kDecrypt, std::string(1, '\0'), "9  Subscript out of range", ""},
        {"one-byte container 5", Op::kDecrypt, "\x05", "9  Subscript out of range", ""},
        {"salt longer than the file", Op::kDecrypt, "abc\x04", "9  Subscript out of range", ""},
        {"salt and length byte, no ciphertext", Op::kDecrypt, "\x01\x02\x02", "9  Subscript out of range", "\x01\x02"},
        {"source is a folder", Op::kEncrypt, std::nullopt, "75  Path/File access error", ""},
        {"container is a folder", Op::kDecrypt, std::nullopt, "75  Path/File access error", ""},
        {"provider cannot be acquired", Op::kEncrypt, "data",
         "-2146893792  DLL error code shown above.  Error during CryptAcquireContext for a new key container. "
         "A container with this name probably already exists.",
         "", CryptCall::kAcquireContext},
        {"encryption fails in the third chunk", Op::kEncrypt, big,
         "-2146893792  DLL error code shown above. Error during CryptEncrypt.", "salt", CryptCall::kEncrypt, 2},
        {"decryption fails in the second chunk", Op::kDecrypt, big + std::string(12, 's') + "\x0c",
         "-2146893792  DLL error code shown above. Error during CryptDecrypt.", std::string(12, 's'),
         CryptCall::kDecrypt, 1},
    };
    int number = 0;
    for (const Row& row : rows) {
        const fs::path folder = dir_ / std::to_string(++number);
        fs::create_directory(folder);
        if (row.source) {
            WriteFile(folder / "source", *row.source);
        } else {
            fs::create_directory(folder / "source");
        }
        // Decrypting refuses an existing destination before it starts, so it gets none.
        const bool encrypt = row.op == Op::kEncrypt;
        if (encrypt) {
            WriteFile(folder / "dest", kOld);
        }
        std::optional<CryptCallFailure> failure;
        if (row.failing_call) {
            failure.emplace(*row.failing_call, platform::crypt::kNteFail, row.successes_first);
        }
        const std::string source = (folder / "source").string();
        const std::string dest = (folder / "dest").string();
        const std::string result = row.op == Op::kEncrypt ? EncryptFileWithSalt(source, dest, "key")
                                                          : DecryptFileWithSalt(source, dest, "key");

        EXPECT_EQ(result, row.error) << row.what;
        if (encrypt) {
            EXPECT_EQ(ReadFile(folder / "dest"), kOld) << row.what;
        }
        EXPECT_EQ(EntriesIn(folder), encrypt ? 2U : 1U) << row.what << ": no temporary file is left";
        if (row.salt_after == "salt") {
            EXPECT_EQ(sSalt.size(), 12U) << row.what << ": the new salt";
        } else {
            EXPECT_EQ(sSalt, row.salt_after) << row.what;
        }
        EXPECT_FALSE(m_Encryption::hProvider.IsHeld()) << row.what;
        EXPECT_FALSE(m_Encryption::hSessionKey.IsHeld()) << row.what;
    }
}

TEST_F(FileContainerFailureTest, ADestinationThatIsAFolderStays) {
    WriteFile(dir_ / "plain", "plain");
    ASSERT_EQ(EncryptFileWithSalt((dir_ / "plain").string(), (dir_ / "sealed").string(), "k"), "");
    fs::create_directory(dir_ / "folder");
    WriteFile(dir_ / "folder" / "inside", "inside");
    EXPECT_EQ(EncryptFileWithSalt((dir_ / "plain").string(), (dir_ / "folder").string(), "k"),
              "75  Path/File access error");
    EXPECT_EQ(DecryptFileWithSalt((dir_ / "sealed").string(), (dir_ / "folder").string(), "k"),
              "58  File already exists");
    EXPECT_EQ(ReadFile(dir_ / "folder" / "inside"), "inside");
    EXPECT_EQ(EntriesIn(dir_.Path()), 4U) << "plain, sealed, folder and the data folder; no temporary file";
    EXPECT_EQ(EncryptFileWithSalt((dir_ / "plain").string(), (dir_ / "missing" / "x").string(), "k"),
              "53  File not found");
    EXPECT_EQ(EncryptFileWithSalt((dir_ / "missing").string(), (dir_ / "x").string(), "k"), "53  File not found");
}

TEST_F(FileContainerFailureTest, ASourceThatShrinksWhileItIsReadFails) {
    // The reader runs at most a few chunks ahead, so cutting the file after the
    // first chunk makes a later read come up short.
    WriteFile(dir_ / "plain", std::string(12 * cipher::kChunkSize, 'p'));
    WriteFile(dir_ / "dest", kOld);
    bool cut = false;
    const auto cut_source = [&](std::uint64_t, std::uint64_t) {
        if (!cut) {
            fs::resize_file(dir_ / "plain", cipher::kChunkSize);
            cut = true;
        }
    };
    EXPECT_EQ(EncryptFileWithSalt((dir_ / "plain").string(), (dir_ / "dest").string(), "k", cut_source),
              "62  Input past end of file");
    EXPECT_EQ(ReadFile(dir_ / "dest"), kOld);
    EXPECT_EQ(EntriesIn(dir_.Path()), 3U) << "plain, dest and the data folder; no temporary file";
}

TEST_F(FileContainerFailureTest, AnUnwritableFolderLeavesItsFilesAlone) {
    const fs::path folder = dir_ / "locked";
    fs::create_directory(folder);
    WriteFile(dir_ / "plain", "plain");
    ASSERT_EQ(EncryptFileWithSalt((dir_ / "plain").string(), (dir_ / "sealed").string(), "k"), "");
    WriteFile(folder / "dest", kOld);
    for (const fs::path& path : {dir_.Path(), folder, folder / "dest", dir_ / "plain", dir_ / "sealed"}) {
        testsupport::GiveToUnprivilegedUser(path);
    }
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_exec);

    const int result = testsupport::RunUnprivileged([&] {
        ::setenv("XDG_DATA_HOME", (dir_ / "unprivileged data").c_str(), 1);
        const std::string dest = (folder / "dest").string();
        const std::string encrypted = EncryptFileWithSalt((dir_ / "plain").string(), dest, "k");
        const std::string decrypted = DecryptFileWithSalt((dir_ / "sealed").string(), dest, "k");
        return encrypted == "70  Permission denied" && decrypted == "70  Permission denied" ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(folder / "dest"), kOld);
    EXPECT_EQ(EntriesIn(folder), 1U);
}

TEST_F(FileContainerFailureTest, AFullDiskPartWayLeavesTheOldDestination) {
    WriteFile(dir_ / "plain", std::string(3 * cipher::kChunkSize, 'p'));
    WriteFile(dir_ / "dest", kOld);
    for (const fs::path& path : {dir_.Path(), dir_ / "plain", dir_ / "dest"}) {
        testsupport::GiveToUnprivilegedUser(path);
    }
    const int result = testsupport::RunUnprivileged([&] {
        ::setenv("XDG_DATA_HOME", (dir_ / "unprivileged data").c_str(), 1);
        // Writing past this limit fails with EFBIG, as a full disk would.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{cipher::kChunkSize * 2, cipher::kChunkSize * 2};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            return 2;
        }
        return EncryptFileWithSalt((dir_ / "plain").string(), (dir_ / "dest").string(), "k") == "61  Disk full" ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(dir_ / "dest"), kOld);
    EXPECT_EQ(EntriesIn(dir_.Path()), 3U) << "plain, dest and the data folder; no temporary file";
}

// Where the container's folder cannot be made, the session keeps it in
// memory: nothing a later job needs is in it, so no job fails for it.
TEST_F(FileContainerFailureTest, AKeyContainerFolderThatCannotBeMadeIsKeptInMemory) {
    WriteFile(dir_ / "plain", "plain");
    WriteFile(dir_ / "not a folder", "");
    for (const fs::path& path : {dir_.Path(), dir_ / "plain"}) {
        testsupport::GiveToUnprivilegedUser(path);
    }
    struct Row {
        const char* what;
        std::optional<std::string> data_home;
        std::string home;
    };
    const Row rows[] = {
        {"a file in the way", (dir_ / "not a folder" / "data").string(), dir_.Path().string()},
        {"a home that does not exist and cannot be made", std::nullopt, "/nonexistent/zq"},
    };
    int number = 0;
    for (const Row& row : rows) {
        const std::string sealed = (dir_ / ("sealed" + std::to_string(++number))).string();
        const std::string opened = sealed + ".plain";
        // As another user: root could make a folder anywhere.
        const int result = testsupport::RunUnprivileged([&] {
            if (row.data_home) {
                ::setenv("XDG_DATA_HOME", row.data_home->c_str(), 1);
            } else {
                ::unsetenv("XDG_DATA_HOME");
            }
            ::setenv("HOME", row.home.c_str(), 1);
            // Twice: the second session finds the container the first made.
            for (int run = 0; run < 2; ++run) {
                if (!EncryptFileWithSalt((dir_ / "plain").string(), sealed, "k").empty() ||
                    !DecryptFileWithSalt(sealed, opened + std::to_string(run), "k").empty()) {
                    return 1;
                }
            }
            return 0;
        });
        EXPECT_EQ(result, 0) << row.what;
        EXPECT_EQ(ReadFile(opened + "1"), "plain") << row.what;
    }
    EXPECT_FALSE(fs::exists("/nonexistent/zq"));
    EXPECT_TRUE(fs::is_regular_file(dir_ / "not a folder"));
}

}  // namespace
