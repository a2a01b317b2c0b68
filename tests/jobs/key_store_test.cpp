#include "jobs/key_store.h"

#include "cipher/text_cipher.h"
#include "platform/code_page.h"
#include "support/key_store_in.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using namespace m_Decoder;
using namespace testsupport;
namespace fs = std::filesystem;

std::size_t EntriesIn(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// The codes whose character in the code page is neither a C0 nor a C1 control.
std::string PrintableCodes() {
    std::string codes;
    for (int code = 32; code <= 255; ++code) {
        const char32_t character = platform::codepage::CharOfCode(static_cast<unsigned char>(code));
        if (character != 0x7f && (character < 0x80 || character > 0x9f)) {
            codes.push_back(static_cast<char>(code));
        }
    }
    return codes;
}

TEST(KeyStore, EveryPrintableCharacterComesBackAtEveryKeyPosition) {
    TempDir dir;
    const std::string printable = PrintableCodes();
    ASSERT_EQ(printable.size(), 95u + 27u + 96u);

    // The scrambling key is ten characters long: a ten-character key puts each
    // character under each of its codes, the first and the last included.
    for (const char c : printable) {
        const std::string key(10, c);
        ASSERT_TRUE(SaveClientKey(key, KeyStoreIn(dir.Path())));
        EXPECT_EQ(LoadClientKey(KeyStoreIn(dir.Path())), key) << "key of code " << int(static_cast<unsigned char>(c));
    }
    // And every character at every position of one long key, among others.
    for (std::size_t position = 0; position < 10; ++position) {
        std::string key;
        for (const char c : printable) {
            std::string block = "abcdefghij";
            block[position] = c;
            key += block;
        }
        ASSERT_TRUE(SaveClientKey(key, KeyStoreIn(dir.Path())));
        EXPECT_EQ(LoadClientKey(KeyStoreIn(dir.Path())), key) << "characters at position " << position;
    }
}

TEST(KeyStore, WritesTheEncodedKeyAndCrLfAndReadsFilesInThatForm) {
    TempDir dir;
    const fs::path file = dir / "zqdecode.dat";

    // Under the scrambling key "UDEMROKSAV", "b" encodes to CR (98 - 85) and "_" to LF (95 - 85).
    ASSERT_TRUE(SaveClientKey("b_", KeyStoreIn(dir.Path())));
    EXPECT_EQ(ReadFile(file), "\r\x1b\r\n");
    ASSERT_TRUE(SaveClientKey("_b", KeyStoreIn(dir.Path())));
    EXPECT_EQ(ReadFile(file), "\n\x1e\r\n");
    ASSERT_TRUE(SaveClientKey("", KeyStoreIn(dir.Path())));
    EXPECT_EQ(ReadFile(file), "\r\n");

    // Files as the program has always written them, lines within the key included.
    WriteFile(file, "\r\x1b\r\n");
    EXPECT_EQ(LoadClientKey(KeyStoreIn(dir.Path())), "b_");
    WriteFile(file, "\n\x1e\r\n");
    EXPECT_EQ(LoadClientKey(KeyStoreIn(dir.Path())), "_b");
}

TEST(KeyStore, LoadTakesTheWholeFileWithoutOneFinalLineEnding) {
    TempDir dir;
    const fs::path file = dir / "zqdecode.dat";
    const std::string scrambling = "UDEMROKSAV";
    const auto decoded = [&](const std::string& text) { return m_Decoder::DecodeText(text, scrambling); };
    const std::string longest(m_Decoder::kLongestText, 'x');

    struct Row {
        std::string name;
        std::string content;
        std::string key;
    };
    const Row rows[] = {
        {"empty", "", ""},
        {"CR LF alone", "\r\n", ""},
        {"LF alone", "\n", ""},
        {"no line ending", "abc", decoded("abc")},
        {"lone final LF", "abc\n", decoded("abc")},
        {"lone final CR is part of the key", "abc\r", decoded("abc\r")},
        {"only one ending is dropped", "abc\r\n\r\n", decoded("abc\r\n")},
        {"further lines are one key", "ab\r\ncd\r\n", decoded("ab\r\ncd")},
        {"the longest key", longest + "\r\n", decoded(longest)},
        {"a key too long for the cipher", longest + "x\r\n", ""},
        {"a file far too long", std::string(1 << 20, 'x'), ""},
    };
    for (const Row& row : rows) {
        WriteFile(file, row.content);
        EXPECT_EQ(LoadClientKey(KeyStoreIn(dir.Path())), row.key) << row.name;
    }
}

TEST(KeyStore, NoFileGivesNoKey) {
    TempDir dir;
    EXPECT_EQ(LoadClientKey(KeyStoreIn(dir.Path())), "");
    EXPECT_EQ(LoadClientKey(KeyStoreIn(dir / "no folder")), "");
    EXPECT_EQ(LoadClientKey(KeyStoreSettings{}), "");

    fs::create_directory(dir / "zqdecode.dat");
    EXPECT_EQ(LoadClientKey(KeyStoreIn(dir.Path())), "");
    DeleteClientKey(KeyStoreIn(dir.Path()));
    EXPECT_TRUE(fs::is_directory(dir / "zqdecode.dat"));
}

TEST(KeyStore, TheKeyFileIsOwnerOnlyAndNothingElseIsLeft) {
    TempDir dir;
    WriteFile(dir / "zqdecode.dat", "old");
    fs::permissions(dir / "zqdecode.dat", fs::perms::all);

    ASSERT_TRUE(SaveClientKey("secret", KeyStoreIn(dir.Path())));

    struct stat info {};
    ASSERT_EQ(::stat((dir / "zqdecode.dat").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(KeyStore, TheOldFileStaysWholeUntilTheNewOneIsCompleteAfterThePause) {
    TempDir dir;
    ASSERT_TRUE(SaveClientKey("old key", KeyStoreIn(dir.Path())));
    const std::string old_file = ReadFile(dir / "zqdecode.dat");

    int rounds = 0;
    bool old_file_kept = true;
    KeyStoreSettings settings = KeyStoreIn(dir.Path());
    settings.pause_rounds = 3;
    settings.yield = [&] {
        ++rounds;
        old_file_kept = old_file_kept && ReadFile(dir / "zqdecode.dat") == old_file;
    };
    ASSERT_TRUE(SaveClientKey("new key", settings));

    EXPECT_EQ(rounds, 3);
    EXPECT_TRUE(old_file_kept);
    EXPECT_EQ(LoadClientKey(settings), "new key");
}

TEST(KeyStore, AKeyTheCipherCannotTakeLeavesTheOldFile) {
    TempDir dir;
    ASSERT_TRUE(SaveClientKey("old key", KeyStoreIn(dir.Path())));

    EXPECT_FALSE(SaveClientKey(std::string(m_Decoder::kLongestText + 1, 'k'), KeyStoreIn(dir.Path())));

    EXPECT_EQ(LoadClientKey(KeyStoreIn(dir.Path())), "old key");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(KeyStore, ALinkIsReplacedAsANameAndItsTargetNeverWritten) {
    TempDir dir;
    WriteFile(dir / "target", "not a key file");
    fs::create_symlink(dir / "target", dir / "zqdecode.dat");

    ASSERT_TRUE(SaveClientKey("key", KeyStoreIn(dir.Path())));

    EXPECT_EQ(ReadFile(dir / "target"), "not a key file");
    EXPECT_FALSE(fs::is_symlink(dir / "zqdecode.dat"));
    EXPECT_EQ(LoadClientKey(KeyStoreIn(dir.Path())), "key");

    fs::remove(dir / "zqdecode.dat");
    fs::create_symlink(dir / "target", dir / "zqdecode.dat");
    DeleteClientKey(KeyStoreIn(dir.Path()));
    EXPECT_FALSE(fs::is_symlink(dir / "zqdecode.dat"));
    EXPECT_EQ(ReadFile(dir / "target"), "not a key file");
}

TEST(KeyStore, SaveMakesTheConfigurationFolderOwnerOnly) {
    TempDir dir;
    const fs::path folder = dir / "config" / "zqdecoder";

    ASSERT_TRUE(SaveClientKey("key", KeyStoreIn(folder)));

    EXPECT_EQ(LoadClientKey(KeyStoreIn(folder)), "key");
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST(KeyStore, DeleteForgetsTheKeyAndIgnoresAMissingFile) {
    TempDir dir;
    ASSERT_TRUE(SaveClientKey("key", KeyStoreIn(dir.Path())));

    DeleteClientKey(KeyStoreIn(dir.Path()));
    EXPECT_FALSE(fs::exists(dir / "zqdecode.dat"));
    DeleteClientKey(KeyStoreIn(dir.Path()));
    EXPECT_EQ(LoadClientKey(KeyStoreIn(dir.Path())), "");
}

// Permission bits do not stop root: these run as an unprivileged user.
class KeyStoreWithoutPermission : public testing::Test {
protected:
    void SetUp() override {
        folder_ = dir_ / "folder";
        fs::create_directory(folder_);
        ASSERT_TRUE(SaveClientKey("old key", KeyStoreIn(folder_)));
        old_file_ = ReadFile(folder_ / "zqdecode.dat");
        testsupport::GiveToUnprivilegedUser(dir_.Path());
        testsupport::GiveToUnprivilegedUser(folder_);
        testsupport::GiveToUnprivilegedUser(folder_ / "zqdecode.dat");
    }

    // Runs `body` unprivileged; true when the body returned true.
    static bool Unprivileged(const std::function<bool()>& body) {
        return testsupport::RunUnprivileged([&] { return body() ? 0 : 1; }) == 0;
    }

    // Both fail, the save saying so, and leave the old key file alone.
    void ExpectSaveAndDeleteKeepTheOldKey() {
        EXPECT_TRUE(Unprivileged([&] {
            const bool saved = SaveClientKey("new key", KeyStoreIn(folder_));
            DeleteClientKey(KeyStoreIn(folder_));
            return !saved && LoadClientKey(KeyStoreIn(folder_)) == "old key";
        }));
        // Read as bytes: the file now belongs to the other user, whose key
        // the store does not read.
        EXPECT_EQ(ReadFile(folder_ / "zqdecode.dat"), old_file_);
        EXPECT_EQ(EntriesIn(folder_), 1u);
    }

    TempDir dir_;
    fs::path folder_;
    std::string old_file_;
};

TEST_F(KeyStoreWithoutPermission, AFolderThatCannotBeWrittenKeepsTheOldKey) {
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
    ExpectSaveAndDeleteKeepTheOldKey();
}

TEST_F(KeyStoreWithoutPermission, AReadOnlyKeyFileIsNeitherReplacedNorDeleted) {
    fs::permissions(folder_ / "zqdecode.dat", fs::perms::owner_read);
    ExpectSaveAndDeleteKeepTheOldKey();
}

TEST_F(KeyStoreWithoutPermission, AKeyFileThatCannotBeReadGivesNoKey) {
    fs::permissions(folder_ / "zqdecode.dat", fs::perms::none);

    EXPECT_TRUE(Unprivileged([&] { return LoadClientKey(KeyStoreIn(folder_)).empty(); }));
}

}  // namespace
