#include "ui/main/key_store_location.h"

#include "support/temp_dir.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

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

}  // namespace
