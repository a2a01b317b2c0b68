#include "cipher/file_container.h"

#include "cipher/chunk_pump.h"
#include "cipher/encryption_state.h"
#include "platform/crypt/crypto_provider.h"
#include "platform/scoped_env.h"
#include "support/crypto_faults.h"
#include "support/temp_dir.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using m_Encryption::DecryptFileWithSalt;
using m_Encryption::EncryptFileWithSalt;
using m_Encryption::sSalt;
using namespace testsupport;
namespace fs = std::filesystem;

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = 2463534242U;
    for (char& c : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        c = static_cast<char>(state);
    }
    return bytes;
}

class FileContainerTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(platform::crypt::OpenHandleCount(), 0U);
        sSalt.clear();
    }

    std::string Path(const char* name) const { return (dir_ / name).string(); }

    TempDir dir_;
    ScopedEnv data_home_{"XDG_DATA_HOME", (dir_ / "data").string()};
};

TEST_F(FileContainerTest, EveryVectorDecryptsToItsPlainFile) {
    const fs::path vectors = fs::path(testsupport::kDataDir) / "vectors";
    std::ifstream manifest(vectors / "vectors.tsv");
    std::string line;
    std::getline(manifest, line);  // the column names
    int rows = 0;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        std::string name, key_hex, plain, container;
        std::size_t salt_length = 0;
        ASSERT_TRUE(fields >> name >> key_hex >> plain >> container >> salt_length) << line;
        std::string key;
        for (std::size_t i = 0; i + 1 < key_hex.size(); i += 2) {
            key.push_back(static_cast<char>(std::stoi(key_hex.substr(i, 2), nullptr, 16)));
        }
        const std::string bytes = ReadFile(vectors / container);
        ASSERT_EQ(static_cast<unsigned char>(bytes.back()), salt_length) << name;

        fs::remove(dir_ / "out");  // a decrypted file never replaces one
        EXPECT_EQ(DecryptFileWithSalt((vectors / container).string(), Path("out"), key), "") << name;
        EXPECT_EQ(ReadFile(dir_ / "out"), ReadFile(vectors / plain)) << name;
        EXPECT_EQ(sSalt, bytes.substr(bytes.size() - 1 - salt_length, salt_length)) << name;
        ++rows;
    }
    EXPECT_EQ(rows, 4);
}

TEST_F(FileContainerTest, RoundTripsAcrossChunkBoundaries) {
    constexpr std::size_t kChunk = cipher::kChunkSize;
    for (const std::size_t size :
         {std::size_t{1}, std::size_t{13}, std::size_t{4096}, kChunk - 1, kChunk, kChunk + 1, 3 * kChunk + 12345}) {
        const std::string plain = Pattern(size);
        WriteFile(dir_ / "plain", plain);
        std::uint64_t last_done = 0;
        int reports = 0;
        const m_Encryption::Progress progress = [&](std::uint64_t done, std::uint64_t total) {
            EXPECT_EQ(total, size);
            EXPECT_GT(done, last_done);
            last_done = done;
            ++reports;
        };
        ASSERT_EQ(EncryptFileWithSalt(Path("plain"), Path("e~plain"), "round trip", progress), "") << size;
        EXPECT_EQ(last_done, size);
        EXPECT_EQ(reports, static_cast<int>((size + kChunk - 1) / kChunk)) << size;

        const std::string container = ReadFile(dir_ / "e~plain");
        ASSERT_EQ(container.size(), size + 13) << size;
        EXPECT_EQ(container.back(), 12) << size;
        EXPECT_EQ(container[size + 11], '\0') << size;
        EXPECT_EQ(container.substr(size, 12), sSalt) << size;

        last_done = 0;
        sSalt = "stale";
        fs::remove(dir_ / "back");
        ASSERT_EQ(DecryptFileWithSalt(Path("e~plain"), Path("back"), "round trip", progress), "") << size;
        EXPECT_EQ(ReadFile(dir_ / "back") == plain, true) << size;
        EXPECT_EQ(sSalt, container.substr(size, 12)) << size;
    }
}

TEST_F(FileContainerTest, FileAndMemoryFormsGiveTheSameStream) {
    const std::string plain = Pattern(2 * cipher::kChunkSize + 7);
    WriteFile(dir_ / "plain", plain);
    ASSERT_EQ(EncryptFileWithSalt(Path("plain"), Path("sealed"), "k"), "");
    const std::string container = ReadFile(dir_ / "sealed");

    // The salt is in sSalt; the whole ciphertext in one call gives the plain bytes.
    std::vector<std::uint8_t> bytes(container.begin(), container.end() - 13);
    m_Encryption::DecryptBytes(bytes, "k");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()) == plain, true);

    // And the other way: bytes encrypted in memory decrypt from a file.
    bytes.assign(plain.begin(), plain.end());
    m_Encryption::EncryptBytes(bytes, "k");
    std::string made(bytes.begin(), bytes.end());
    made += sSalt;
    made.push_back(static_cast<char>(sSalt.size()));
    WriteFile(dir_ / "made", made);
    ASSERT_EQ(DecryptFileWithSalt(Path("made"), Path("back"), "k"), "");
    EXPECT_EQ(ReadFile(dir_ / "back") == plain, true);
}

TEST_F(FileContainerTest, TwoEncryptionsOfOneFileDiffer) {
    WriteFile(dir_ / "plain", "same bytes");
    ASSERT_EQ(EncryptFileWithSalt(Path("plain"), Path("one"), "k"), "");
    ASSERT_EQ(EncryptFileWithSalt(Path("plain"), Path("two"), "k"), "");
    EXPECT_NE(ReadFile(dir_ / "one"), ReadFile(dir_ / "two"));
    for (const char* name : {"one", "two"}) {
        fs::remove(dir_ / "back");
        ASSERT_EQ(DecryptFileWithSalt(Path(name), Path("back"), "k"), "") << name;
        EXPECT_EQ(ReadFile(dir_ / "back"), "same bytes") << name;
    }
}

TEST_F(FileContainerTest, ShortSaltsCountTheirMissingBytesAsZero) {
    // Containers this program never writes, made with the in-memory session.
    for (const std::string& salt : {std::string(), std::string("\x01\x02\x03", 3), std::string(11, '\0')}) {
        sSalt = salt;
        std::vector<std::uint8_t> bytes{'p', 'l', 'a', 'i', 'n'};
        m_Encryption::DecryptBytes(bytes, "k");  // RC4 both ways: this encrypts
        std::string container(bytes.begin(), bytes.end());
        container += salt;
        container.push_back(static_cast<char>(salt.size()));
        WriteFile(dir_ / "short", container);
        fs::remove(dir_ / "back");
        EXPECT_EQ(DecryptFileWithSalt(Path("short"), Path("back"), "k"), "") << salt.size();
        EXPECT_EQ(ReadFile(dir_ / "back"), "plain") << salt.size();
    }
    // An empty salt is the unsalted key, and so is a salt of zeros.
    WriteFile(dir_ / "a", std::string("x\0", 2));
    WriteFile(dir_ / "b", std::string("x\0\0\0\0\0\0\0\0\0\0\0\x0b", 13));
    ASSERT_EQ(DecryptFileWithSalt(Path("a"), Path("a.out"), "k"), "");
    ASSERT_EQ(DecryptFileWithSalt(Path("b"), Path("b.out"), "k"), "");
    EXPECT_EQ(ReadFile(dir_ / "a.out"), ReadFile(dir_ / "b.out"));
}

TEST_F(FileContainerTest, DecryptingOverALongerFileLeavesExactlyThePlainBytes) {
    WriteFile(dir_ / "plain", "short");
    ASSERT_EQ(EncryptFileWithSalt(Path("plain"), Path("sealed"), "k"), "");
    WriteFile(dir_ / "out", std::string(1000, 'o'));
    // A decrypted file never takes the place of one the user has.
    EXPECT_EQ(DecryptFileWithSalt(Path("sealed"), Path("out"), "k"), "58  File already exists");
    EXPECT_EQ(ReadFile(dir_ / "out"), std::string(1000, 'o'));
    EXPECT_EQ(DecryptFileWithSalt(Path("sealed"), Path("sealed"), "k"), "58  File already exists");
    fs::remove(dir_ / "out");
    ASSERT_EQ(DecryptFileWithSalt(Path("sealed"), Path("out"), "k"), "");
    EXPECT_EQ(ReadFile(dir_ / "out"), "short");
    // Encrypting over a longer file leaves exactly the container, and a
    // container encrypted onto itself is read before it is replaced.
    WriteFile(dir_ / "long", std::string(1000, 'o'));
    ASSERT_EQ(EncryptFileWithSalt(Path("plain"), Path("long"), "k"), "");
    EXPECT_EQ(ReadFile(dir_ / "long").size(), 5U + 13U);
    ASSERT_EQ(EncryptFileWithSalt(Path("long"), Path("long"), "k"), "");
    EXPECT_EQ(ReadFile(dir_ / "long").size(), 5U + 2 * 13U);
}

TEST_F(FileContainerTest, ALinkAsDestinationIsNeverReplacedNorItsTargetWritten) {
    WriteFile(dir_ / "plain", "secret text");
    WriteFile(dir_ / "target", "target stays");
    fs::create_symlink(dir_ / "target", dir_ / "link");
    ASSERT_EQ(EncryptFileWithSalt(Path("plain"), Path("sealed"), "k"), "");
    EXPECT_EQ(EncryptFileWithSalt(Path("plain"), Path("link"), "k"), "75  Path/File access error");
    EXPECT_EQ(DecryptFileWithSalt(Path("sealed"), Path("link"), "k"), "58  File already exists");
    EXPECT_EQ(fs::read_symlink(dir_ / "link"), dir_ / "target");
    EXPECT_EQ(ReadFile(dir_ / "target"), "target stays");
}

TEST_F(FileContainerTest, NamesAreNeverPatterns) {
    WriteFile(dir_ / "plain", "p");
    WriteFile(dir_ / "a.bin", "a");
    WriteFile(dir_ / "b.bin", "b");
    ASSERT_EQ(EncryptFileWithSalt(Path("plain"), Path("*.bin"), "k"), "");
    ASSERT_EQ(DecryptFileWithSalt(Path("*.bin"), Path("?.bin"), "k"), "");
    EXPECT_EQ(ReadFile(dir_ / "?.bin"), "p");
    EXPECT_EQ(ReadFile(dir_ / "a.bin"), "a");
    EXPECT_EQ(ReadFile(dir_ / "b.bin"), "b");

    m_Encryption::DeleteFileQuietly(Path("*.bin"));
    EXPECT_FALSE(fs::exists(dir_ / "*.bin"));
    EXPECT_TRUE(fs::exists(dir_ / "a.bin"));
    EXPECT_TRUE(fs::exists(dir_ / "b.bin"));
}

TEST_F(FileContainerTest, DeleteFileQuietlyDeletesOnlyWhatItMay) {
    WriteFile(dir_ / "plain", "x");
    WriteFile(dir_ / "readonly", "x");
    fs::permissions(dir_ / "readonly", fs::perms::owner_read);
    WriteFile(dir_ / "target", "x");
    fs::create_symlink(dir_ / "target", dir_ / "link");
    fs::create_directory(dir_ / "folder");
    struct Row {
        const char* name;
        bool gone;
    };
    const Row rows[] = {{"plain", true}, {"missing", true}, {"readonly", false}, {"link", true}, {"folder", false}};
    for (const Row& row : rows) {
        m_Encryption::DeleteFileQuietly(Path(row.name));
        EXPECT_EQ(!fs::exists(fs::symlink_status(dir_ / row.name)), row.gone) << row.name;
    }
    m_Encryption::DeleteFileQuietly("");
    EXPECT_TRUE(fs::exists(dir_ / "target")) << "a link goes, not what it points to";
}

}  // namespace
