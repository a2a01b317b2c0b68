#include "jobs/key_store_location.h"

#include "jobs/key_store.h"
#include "support/key_store_in.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using m_Decoder::ConfigHome;
using m_Decoder::KeyFolder;
namespace fs = std::filesystem;

TEST(KeyStoreLocation, TheConfigurationFolderFollowsTheEnvironment) {
    struct Row {
        const char* xdg_config_home;
        const char* home;
        std::string expected;
    };
    const Row rows[] = {
        {"/xdg", "/home/u", "/xdg"},
        {nullptr, "/home/u", "/home/u/.config"},
        {"", "/home/u", "/home/u/.config"},
        {"relative/xdg", "/home/u", "/home/u/.config"},
        {nullptr, nullptr, ""},
        {nullptr, "", ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ConfigHome(row.xdg_config_home, row.home), row.expected)
            << (row.xdg_config_home ? row.xdg_config_home : "(unset)") << " " << (row.home ? row.home : "(unset)");
    }
}

TEST(KeyStoreLocation, APortableInstallKeepsTheKeyBesideTheProgram) {
    testsupport::TempDir dir;
    EXPECT_EQ(KeyFolder(dir.Path().string(), "/config"), dir.Path().string());
}

TEST(KeyStoreLocation, AnInstalledProgramKeepsTheKeyInTheConfigurationFolder) {
    testsupport::TempDir dir;
    const fs::path program_folder = dir / "bin";
    fs::create_directory(program_folder);
    fs::permissions(program_folder,
                    fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read | fs::perms::others_exec);

    // Nobody may write the folder but root, and the unprivileged user is not root.
    const int result = testsupport::RunUnprivileged(
        [&] { return KeyFolder(program_folder.string(), "/home/u/.config") == "/home/u/.config/zqdecoder" ? 0 : 1; });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(KeyFolder((dir / "missing").string(), "/c"), "/c/zqdecoder");
    EXPECT_EQ(KeyFolder("", ""), "");
}

// The key file sits beside the program only in a folder of the user's own
// that nobody else may write, and never under /usr.
TEST(KeyStoreLocation, TheProgramsFolderKeepsTheKeyOnlyWhenNoOneElseCanWriteIt) {
    struct Row {
        const char* what;
        fs::perms mode;
        bool owned_by_the_user;
        bool beside_the_program;
    };
    using enum fs::perms;
    const Row rows[] = {
        {"the user's own, owner-only", owner_all, true, true},
        {"the user's own, readable by all", owner_all | group_read | group_exec | others_read | others_exec, true,
         true},
        {"the user's own, but the user cannot write it", owner_read | owner_exec, true, false},
        {"the user's own, group-writable", owner_all | group_all, true, false},
        {"the user's own, writable by all", owner_all | group_all | others_all, true, false},
        {"the user's own, writable by all but sticky", owner_all | group_all | others_all | sticky_bit, true, false},
        {"another user's, writable by all", owner_all | group_all | others_all, false, false},
        {"another user's", owner_all | group_read | group_exec | others_read | others_exec, false, false},
    };
    testsupport::TempDir dir;
    testsupport::GiveToUnprivilegedUser(dir.Path());
    int number = 0;
    for (const Row& row : rows) {
        const fs::path folder = dir / std::to_string(++number);
        fs::create_directory(folder);
        if (row.owned_by_the_user) {
            testsupport::GiveToUnprivilegedUser(folder);
        }
        fs::permissions(folder, row.mode);
        const std::string expected = row.beside_the_program ? folder.string() : "/c/zqdecoder";
        const int result = testsupport::RunUnprivileged([&] {
            return KeyFolder(folder.string(), "/c") == expected &&
                           m_Decoder::MayHoldKeyFile(folder.string()) == row.beside_the_program
                       ? 0
                       : 1;
        });
        EXPECT_EQ(result, 0) << row.what;
    }
    // Root owns /usr/bin, and nobody else can write it: still not there.
    EXPECT_EQ(KeyFolder("/usr/bin", "/c"), "/c/zqdecoder");
    fs::create_directory_symlink("/usr/bin", dir / "link");
    EXPECT_EQ(KeyFolder((dir / "link").string(), "/c"), "/c/zqdecoder") << "a link does not hide /usr";
    EXPECT_EQ(KeyFolder((dir / "missing").string(), "/c"), "/c/zqdecoder");
}

// A key file that another user put there (root, before the folder was given
// away) is never read, replaced or deleted.
TEST(KeyStoreLocation, AnotherUsersKeyFileIsLeftAlone) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give the user a folder with someone else's file in it";
    }
    testsupport::TempDir dir;
    testsupport::GiveToUnprivilegedUser(dir.Path());
    const m_Decoder::KeyStoreSettings settings = testsupport::KeyStoreIn(dir.Path());
    ASSERT_TRUE(m_Decoder::SaveClientKey("planted", settings));
    fs::permissions(dir / m_Decoder::kKeyFileName,
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    const std::string planted = testsupport::ReadFile(dir / m_Decoder::kKeyFileName);

    // The user's own link to that file reads nothing either.
    const fs::path linked = dir / "linked";
    fs::create_directory(linked);
    fs::create_symlink(dir / m_Decoder::kKeyFileName, linked / m_Decoder::kKeyFileName);
    testsupport::GiveToUnprivilegedUser(linked);
    testsupport::GiveToUnprivilegedUser(linked / m_Decoder::kKeyFileName);
    const m_Decoder::KeyStoreSettings through_link = testsupport::KeyStoreIn(linked);

    const int result = testsupport::RunUnprivileged([&] {
        if (!m_Decoder::LoadClientKey(settings).empty() || !m_Decoder::LoadClientKey(through_link).empty()) {
            return 1;
        }
        if (m_Decoder::SaveClientKey("mine", settings)) {
            return 1;
        }
        m_Decoder::DeleteClientKey(settings);
        return 0;
    });
    EXPECT_EQ(result, 0) << "the planted key was read, or said to be replaced";
    EXPECT_EQ(testsupport::ReadFile(dir / m_Decoder::kKeyFileName), planted);
    EXPECT_EQ(m_Decoder::LoadClientKey(settings), "planted") << "its owner still has it";
}

}  // namespace
