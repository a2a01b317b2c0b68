#include "platform/file_lookup.h"

#include "support/temp_dir.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using m_Decoder::FileExists;
using namespace testsupport;
namespace fs = std::filesystem;

TEST(FileExists, TrueOnlyForAnExistingRegularFile) {
    TempDir dir;
    WriteFile(dir / "mail.txt", "x");
    WriteFile(dir / "empty", "");
    WriteFile(dir / "résumé 日本.pdf", "x");
    fs::create_directory(dir / "folder");
    fs::create_symlink(dir / "mail.txt", dir / "link");
    fs::create_symlink(dir / "folder", dir / "folder link");
    fs::create_symlink(dir / "gone", dir / "dangling");
    const std::string base = dir.Path().string() + "/";

    const struct {
        std::string path;
        bool exists;
    } rows[] = {
        {base + "mail.txt", true},
        {base + "empty", true},
        {base + "résumé 日本.pdf", true},
        {base + "link", true},
        {"", false},
        {base + "missing", false},
        {base + "folder", false},
        {base + "folder link", false},
        {base + "dangling", false},
        {base + "mail.txt/below", false},
        {base + "mail.txt ", false},  // used as given: callers trim
        {base + std::string(5000, 'n'), false},
        {std::string("mail\0.txt", 9), false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FileExists(row.path), row.exists) << row.path;
    }
}

TEST(FileExists, FalseForAFileThatCannotBeReached) {
    TempDir dir;
    const fs::path folder = dir / "locked";
    fs::create_directory(folder);
    WriteFile(folder / "mail.txt", "x");
    WriteFile(dir / "open.txt", "x");
    fs::permissions(folder, fs::perms::none);
    testsupport::GiveToUnprivilegedUser(dir.Path());

    const std::string locked = (folder / "mail.txt").string();
    const std::string open = (dir / "open.txt").string();
    const int result = testsupport::RunUnprivileged([&] { return FileExists(open) && !FileExists(locked) ? 0 : 1; });
    EXPECT_EQ(result, 0);
}

}  // namespace
