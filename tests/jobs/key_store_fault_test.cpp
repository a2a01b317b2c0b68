// Key files the store did not write: huge, binary, links and special files.
// Whatever is found, loading gives a key or none without hanging or crashing,
// and the next save puts an owner-only key file of ours in its place.
#include "cipher/text_cipher.h"
#include "jobs/key_store.h"
#include "support/key_store_in.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sys/stat.h>

namespace {

using namespace m_Decoder;
using namespace testsupport;
namespace fs = std::filesystem;

constexpr std::uintmax_t kHundredMegabytes = std::uintmax_t{100} << 20;

std::string RandomBytes(std::size_t count) {
    std::mt19937 generator(7);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes(count, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(byte(generator));
    }
    return bytes;
}

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

// What each row plants at the key file's name in `dir`, and what loading it must give.
struct Row {
    const char* what;
    std::function<void(const TempDir& dir, const fs::path& key_file)> plant;
    bool gives_a_key;
};

TEST(KeyStoreFaults, StrangeKeyFilesGiveAKeyOrNoneAndAreReplacedOnSave) {
    const Row rows[] = {
        {"a 100 MB file",
         [](const TempDir&, const fs::path& file) {
             WriteFile(file, "x");
             fs::resize_file(file, kHundredMegabytes);
         },
         false},
        {"a binary file", [](const TempDir&, const fs::path& file) { WriteFile(file, RandomBytes(4096)); }, true},
        {"a binary file too long for the cipher",
         [](const TempDir&, const fs::path& file) { WriteFile(file, RandomBytes(m_Decoder::kLongestText + 3)); },
         false},
        {"a link to another file",
         [](const TempDir& dir, const fs::path& file) {
             WriteFile(dir / "other", "another file");
             fs::create_symlink(dir / "other", file);
         },
         true},
        {"a dangling link", [](const TempDir& dir, const fs::path& file) { fs::create_symlink(dir / "nowhere", file); },
         false},
        {"a link to a folder",
         [](const TempDir& dir, const fs::path& file) {
             fs::create_directory(dir / "folder");
             fs::create_symlink(dir / "folder", file);
         },
         false},
        // Opening a pipe for reading would wait for a writer for ever.
        {"a pipe", [](const TempDir&, const fs::path& file) { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); }, false},
        {"a link to a pipe",
         [](const TempDir& dir, const fs::path& file) {
             ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
             fs::create_symlink(dir / "pipe", file);
         },
         false},
        {"a link to an endless device",
         [](const TempDir&, const fs::path& file) { fs::create_symlink("/dev/zero", file); }, false},
    };
    for (const Row& row : rows) {
        TempDir dir;
        const fs::path folder = dir / "keys";
        fs::create_directory(folder);
        const fs::path file = folder / m_Decoder::kKeyFileName;
        row.plant(dir, file);

        EXPECT_EQ(!LoadClientKey(KeyStoreIn(folder)).empty(), row.gives_a_key) << row.what;

        EXPECT_TRUE(SaveClientKey("new key", KeyStoreIn(folder))) << row.what;
        EXPECT_EQ(LoadClientKey(KeyStoreIn(folder)), "new key") << row.what;
        EXPECT_TRUE(S_ISREG(ModeOf(file))) << row.what;
        EXPECT_EQ(ModeOf(file) & 07777, 0600u) << row.what;
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1) << row.what;
        if (fs::exists(dir / "other")) {
            EXPECT_EQ(ReadFile(dir / "other"), "another file") << row.what << ": a link's target is never written";
        }
    }
}

TEST(KeyStoreFaults, DeleteRemovesOnlyTheNameOfAStrangeKeyFile) {
    TempDir dir;
    const fs::path file = dir / m_Decoder::kKeyFileName;
    WriteFile(dir / "other", "another file");
    fs::create_symlink(dir / "other", file);

    DeleteClientKey(KeyStoreIn(dir.Path()));

    EXPECT_FALSE(fs::exists(fs::symlink_status(file)));
    EXPECT_EQ(ReadFile(dir / "other"), "another file");

    WriteFile(file, "x");
    fs::resize_file(file, kHundredMegabytes);
    DeleteClientKey(KeyStoreIn(dir.Path()));
    EXPECT_FALSE(fs::exists(fs::symlink_status(file)));
}

}  // namespace
