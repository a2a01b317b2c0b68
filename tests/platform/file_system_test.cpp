#include "platform/file_system.h"

#include "platform/runtime_error.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using platform::FileSystemObject;
using platform::IOMode;
using platform::RuntimeError;
using platform::Tristate;
using namespace testsupport;
namespace err = platform::err;
namespace fs = std::filesystem;

int RaisedNumber(const std::function<void()>& call) {
    try {
        call();
    } catch (const RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

TEST(FileSystemObject, GetFileFindsOnlyExistingFiles) {
    TempDir dir;
    WriteFile(dir / "a.txt", "x");
    fs::create_directory(dir / "folder");
    fs::create_symlink(dir / "a.txt", dir / "link");
    fs::create_symlink(dir / "gone", dir / "dangling");
    const FileSystemObject fso;

    EXPECT_EQ(fso.GetFile((dir / "a.txt").string()).Path(), dir / "a.txt");
    EXPECT_EQ(fso.GetFile((dir / "link").string()).Path(), dir / "link");

    struct Row {
        std::string path;
        int number;
    };
    const Row rows[] = {
        {"", err::kInvalidProcedureCall},
        {(dir / "missing").string(), err::kFileNotFound},
        {(dir / "folder").string(), err::kFileNotFound},
        {(dir / "dangling").string(), err::kFileNotFound},
        {(dir / "a.txt" / "below").string(), err::kPathNotFound},
        {(dir / std::string(300, 'n')).string(), err::kBadFileName},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(RaisedNumber([&] { (void)fso.GetFile(row.path); }), row.number) << row.path;
    }
}

TEST(FileSystemObject, WritesLinesWithCrLfOwnerOnlyAndOnlyOnClose) {
    TempDir dir;
    const fs::path path = dir / "key.dat";
    WriteFile(path, "old");
    const FileSystemObject fso;

    platform::TextStream stream = fso.CreateTextFile(path.string(), true);
    stream.WriteLine(std::string("a\0b", 3));
    EXPECT_EQ(ReadFile(path), "old") << "the old file stays until the stream closes";
    stream.Close();

    EXPECT_EQ(ReadFile(path), std::string("a\0b\r\n", 5));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(FileSystemObject, AStreamDroppedWithoutCloseLeavesNothing) {
    TempDir dir;
    const FileSystemObject fso;
    {
        platform::TextStream stream = fso.CreateTextFile((dir / "new.dat").string(), true);
        stream.WriteLine("half");
    }
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

TEST(FileSystemObject, CreateWithoutOverwriteRefusesAnExistingFile) {
    TempDir dir;
    WriteFile(dir / "a", "x");
    const FileSystemObject fso;
    EXPECT_EQ(RaisedNumber([&] { (void)fso.CreateTextFile((dir / "a").string(), false); }), err::kFileAlreadyExists);
}

TEST(FileSystemObject, CreateWithOverwriteRefusesAReadOnlyFile) {
    TempDir dir;
    WriteFile(dir / "readonly", "old");
    fs::permissions(dir / "readonly", fs::perms::owner_read);
    const FileSystemObject fso;

    // Refused even for root, who could write the file.
    EXPECT_EQ(RaisedNumber([&] { (void)fso.CreateTextFile((dir / "readonly").string(), true); }),
              err::kPermissionDenied);
    EXPECT_EQ(ReadFile(dir / "readonly"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(FileSystemObject, ReadsUpToACountAndRaisesAtTheEnd) {
    TempDir dir;
    WriteFile(dir / "a", "line one\r\nline two");
    WriteFile(dir / "empty", "");
    const FileSystemObject fso;

    platform::TextStream stream =
        fso.GetFile((dir / "a").string()).OpenAsTextStream(IOMode::kForReading, Tristate::kFalse);
    EXPECT_EQ(stream.Read(4), "line");
    EXPECT_EQ(stream.Read(100), " one\r\nline two");
    EXPECT_EQ(RaisedNumber([&] { (void)stream.Read(1); }), err::kInputPastEndOfFile);
    stream.Close();

    platform::TextStream empty =
        fso.GetFile((dir / "empty").string()).OpenAsTextStream(IOMode::kForReading, Tristate::kFalse);
    EXPECT_EQ(RaisedNumber([&] { (void)empty.Read(10); }), err::kInputPastEndOfFile);
}

TEST(FileSystemObject, DeleteRemovesTheNameAndRefusesReadOnlyFilesWithoutForce) {
    TempDir dir;
    WriteFile(dir / "target", "keep");
    WriteFile(dir / "plain", "x");
    WriteFile(dir / "readonly", "x");
    fs::permissions(dir / "readonly", fs::perms::owner_read);
    fs::create_symlink(dir / "target", dir / "link");
    const FileSystemObject fso;

    fso.GetFile((dir / "plain").string()).Delete(false);
    EXPECT_FALSE(fs::exists(dir / "plain"));

    fso.GetFile((dir / "link").string()).Delete(false);
    EXPECT_FALSE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(ReadFile(dir / "target"), "keep");

    // Refused even for root, who could write the file.
    EXPECT_EQ(RaisedNumber([&] { fso.GetFile((dir / "readonly").string()).Delete(false); }), err::kPermissionDenied);
    EXPECT_TRUE(fs::exists(dir / "readonly"));
    fso.GetFile((dir / "readonly").string()).Delete(true);
    EXPECT_FALSE(fs::exists(dir / "readonly"));
}

TEST(FileSystemObject, FailuresInAFolderThatCannotBeWritten) {
    TempDir dir;
    const fs::path folder = dir / "locked";
    fs::create_directory(folder);
    WriteFile(folder / "key.dat", "old");
    testsupport::GiveToUnprivilegedUser(dir.Path());
    testsupport::GiveToUnprivilegedUser(folder);
    testsupport::GiveToUnprivilegedUser(folder / "key.dat");
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_exec);

    const int result = testsupport::RunUnprivileged([&] {
        const FileSystemObject fso;
        const int create = RaisedNumber([&] { (void)fso.CreateTextFile((folder / "key.dat").string(), true); });
        const int remove = RaisedNumber([&] { fso.GetFile((folder / "key.dat").string()).Delete(false); });
        return create == err::kPermissionDenied && remove == err::kPermissionDenied ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(folder / "key.dat"), "old");
}

}  // namespace
