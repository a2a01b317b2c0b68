#include "util/path_helpers.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using m_Decoder::GetBaseNameFromPath;
using m_Decoder::GetFileFromPath;
using m_Decoder::GetFolderFromPath;
using m_Decoder::kNativeSeparator;
using m_Decoder::TrimAtNull;

struct Row {
    std::string path;
    std::string result;
};

using PathFunction = std::function<std::string(const std::string&)>;

// The tables are written with backslashes, as the program's users on Windows
// write paths. Exchanging the backslash and the native separator gives the
// same table for the native separator (nothing changes where that is '\').
std::string Native(std::string text) {
    for (char& c : text) {
        if (c == '\\') {
            c = kNativeSeparator;
        } else if (c == kNativeSeparator) {
            c = '\\';
        }
    }
    return text;
}

void CheckTable(const std::vector<Row>& rows, const PathFunction& with_backslash, const PathFunction& with_default) {
    for (const Row& row : rows) {
        EXPECT_EQ(with_backslash(row.path), row.result) << "separator '\\', path: " << row.path;
        EXPECT_EQ(with_default(Native(row.path)), Native(row.result)) << "native separator, path: " << Native(row.path);
    }
}

TEST(GetFolderFromPath, CutsAFileNameWithAThreeCharacterExtension) {
    CheckTable(
        {
            {"C:\\Data\\mail.txt", "C:\\Data"},
            {"C:\\mail.txt", "C:"},
            {"\\mail.txt", ""},
            {"mail.txt", ""},
            {"C:\\Data\\mail.txt.bak", "C:\\Data"},
            {"C:\\Data\\", "C:\\Data"},
            {"C:\\Data\\\\", "C:\\Data\\"},
            {"C:\\", "C:"},
            {"C:\\Data", "C:\\Data"},
            {"C:\\Data\\mail", "C:\\Data\\mail"},
            {"C:\\Data\\mail.html", "C:\\Data\\mail.html"},
            {"C:\\Data\\old.dir", "C:\\Data"},
            {"C:/Data/mail.txt", ""},
            {".abc", ""},
            {"a.bc", "a.bc"},
            {"", ""},
            // Odd inputs.
            {"\\", ""},
            {".", ""},
            {"...", ""},
            {"ab", "ab"},
            {"C:\\Data\\mail.tx", "C:\\Data\\mail.tx"},
            {"C:\\my.dir\\mail", "C:\\my.dir\\mail"},
            {std::string("C:\\D\0ta\\mail.txt", 16), std::string("C:\\D\0ta", 7)},
        },
        [](const std::string& path) { return GetFolderFromPath(path, '\\'); },
        [](const std::string& path) { return GetFolderFromPath(path); });
}

TEST(GetFolderFromPath, CountsCharactersNotBytes) {
    CheckTable(
        {
            {"C:\\Dåta\\mäil.txt", "C:\\Dåta"},
            {"C:\\Data\\mail.日本語", "C:\\Data"},  // three characters, nine bytes
            {"C:\\Data\\a.éb", "C:\\Data\\a.éb"},   // a "." four bytes from the end, three characters
            {"C:\\Data\\日本語", "C:\\Data\\日本語"},
            {"é.é", "é.é"},
            {".日本語", ""},
        },
        [](const std::string& path) { return GetFolderFromPath(path, '\\'); },
        [](const std::string& path) { return GetFolderFromPath(path); });
}

TEST(GetFileFromPath, GivesTheLastComponentWhenItHasADot) {
    CheckTable(
        {
            {"C:\\Data\\mail.txt", "mail.txt"},
            {"C:\\Data\\archive.tar.gz", "archive.tar.gz"},
            {"C:\\Data\\.profile", ".profile"},
            {"C:\\Data\\mail.", "mail."},
            {"mail.txt", "mail.txt"},
            {"C:\\Data\\mail", ""},
            {"C:\\my.dir\\mail", ""},
            {"C:\\Data\\", ""},
            {"C:/Data/mail.txt", "C:/Data/mail.txt"},
            {"", ""},
            // Odd inputs.
            {"\\", ""},
            {".", "."},
            {"mail", ""},
            {"C:\\Dåta\\日本.語", "日本.語"},
        },
        [](const std::string& path) { return GetFileFromPath(path, '\\'); },
        [](const std::string& path) { return GetFileFromPath(path); });
}

TEST(GetBaseNameFromPath, GivesTheLastComponentUpToItsFirstDot) {
    CheckTable(
        {
            {"C:\\Data\\mail.txt", "mail"},
            {"C:\\Data\\archive.tar.gz", "archive"},
            {"C:\\Data\\.profile", ""},
            {"mail.txt", "mail"},
            {"mail", "mail"},
            {".profile", ""},
            {"C:mail.txt", "C:mail"},
            {"C:\\Data\\mail", ""},
            {"C:\\my.dir\\mail", ""},
            {"C:\\Data\\", ""},
            {"", ""},
            // Odd inputs.
            {"\\", ""},
            {"C:/Data/mail.txt", "C:/Data/mail"},
            {"C:\\e~日本.tar.gz", "e~日本"},
        },
        [](const std::string& path) { return GetBaseNameFromPath(path, '\\'); },
        [](const std::string& path) { return GetBaseNameFromPath(path); });
}

TEST(PathFunctions, TakeAnyLength) {
    // Beyond the 32,767 characters that 16-bit counters would allow.
    const std::string folder = "C:\\" + std::string(40000, 'd');
    const std::string name = std::string(40000, 'n') + ".txt";
    const std::string path = folder + "\\" + name;

    EXPECT_EQ(GetFolderFromPath(path, '\\'), folder);
    EXPECT_EQ(GetFolderFromPath(folder + "\\", '\\'), folder);
    EXPECT_EQ(GetFileFromPath(path, '\\'), name);
    EXPECT_EQ(GetBaseNameFromPath(path, '\\'), std::string(40000, 'n'));
    EXPECT_EQ(GetBaseNameFromPath(std::string(32767, 'n'), '\\'), std::string(32767, 'n'));
}

TEST(TrimAtNull, CutsAtTheFirstNul) {
    const std::vector<Row> rows = {
        {"", ""},
        {"C:\\Data", "C:\\Data"},
        {std::string("\0abc", 4), ""},
        {std::string("ab\0cd\0", 6), "ab"},
        {std::string("/home/u/Desktop\0", 16) + std::string(244, ' '), "/home/u/Desktop"},
        {"   ", "   "},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(TrimAtNull(row.path), row.result) << "buffer of " << row.path.size() << " bytes";
    }
}

}  // namespace
