#include "platform/atomic_file.h"

#include "platform/runtime_error.h"
#include "support/temp_dir.h"
#include "support/writer_faults.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace {

using platform::AtomicFileWriter;
using platform::publish::Call;
using platform::publish::NamedTemporary;
using namespace testsupport;
namespace fs = std::filesystem;

fs::perms PermissionsOf(const fs::path& path) {
    return fs::symlink_status(path).permissions() & fs::perms::all;
}

TEST(AtomicFileWriter, ReplacesTheDestinationOnlyOnCommit) {
    TempDir dir;
    const fs::path dest = dir / "out.bin";
    WriteFile(dest, "previous content, longer than the new");
    const platform::publish::FolderSyncs syncs;

    AtomicFileWriter writer(dest, AtomicFileWriter::Permissions::kLikeNewFile);
    writer.Write(std::string("new\0", 4));
    EXPECT_TRUE(writer.TemporaryPath().empty()) << "the new file has no name while it is written";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
    EXPECT_EQ(ReadFile(dest), "previous content, longer than the new");
    writer.Commit();
    EXPECT_EQ(syncs.Outcomes(), std::vector<int>{0}) << "the folder is synced once the file has its name";

    EXPECT_EQ(ReadFile(dest), std::string("new\0", 4));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(AtomicFileWriter, GivesTheUmaskPermissionsOrOwnerOnly) {
    for (const int unnamed_open_error : {0, EOPNOTSUPP}) {
        TempDir dir;
        const platform::publish::FailingCall unnamed(Call::kUnnamedOpen, unnamed_open_error);
        const mode_t old_mask = ::umask(027);
        {
            AtomicFileWriter like_new(dir / "a", AtomicFileWriter::Permissions::kLikeNewFile);
            like_new.Commit();
            AtomicFileWriter secret(dir / "b", AtomicFileWriter::Permissions::kOwnerOnly);
            secret.Commit();
        }
        ::umask(old_mask);
        EXPECT_EQ(PermissionsOf(dir / "a"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read)
            << unnamed_open_error;
        EXPECT_EQ(PermissionsOf(dir / "b"), fs::perms::owner_read | fs::perms::owner_write) << unnamed_open_error;
    }
}

TEST(AtomicFileWriter, ALinkIsReplacedAsANameAndItsTargetIsNeverWritten) {
    TempDir dir;
    WriteFile(dir / "target", "target stays");
    fs::create_symlink(dir / "target", dir / "link");

    AtomicFileWriter writer(dir / "link", AtomicFileWriter::Permissions::kLikeNewFile);
    writer.Write("fresh");
    writer.Commit();

    EXPECT_FALSE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(ReadFile(dir / "link"), "fresh");
    EXPECT_EQ(ReadFile(dir / "target"), "target stays");
}

TEST(AtomicFileWriter, FailuresLeaveTheDestinationAndNoTemporaryFile) {
    TempDir dir;
    fs::create_directory(dir / "folder");
    WriteFile(dir / "folder" / "inside", "x");
    {
        AtomicFileWriter writer(dir / "folder", AtomicFileWriter::Permissions::kLikeNewFile);
        writer.Write("data");
        try {
            writer.Commit();
            FAIL() << "renaming a file over a folder must fail";
        } catch (const platform::RuntimeError& e) {
            EXPECT_EQ(e.Number(), platform::err::kPathFileAccessError);
        }
    }
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);

    try {
        AtomicFileWriter writer(dir / "no such folder" / "x", AtomicFileWriter::Permissions::kLikeNewFile);
        FAIL() << "a missing folder must fail";
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.Number(), platform::err::kFileNotFound);
    }
}

TEST(AtomicFileWriter, DroppedWithoutCommitRemovesItsTemporaryFile) {
    TempDir dir;
    WriteFile(dir / "dest", "old");
    {
        AtomicFileWriter writer(dir / "dest", AtomicFileWriter::Permissions::kLikeNewFile);
        writer.Write("partial");
    }
    EXPECT_EQ(ReadFile(dir / "dest"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(AtomicFileWriter, WithoutUnnamedFilesANamedTemporaryIsPublishedOnTheSameTerms) {
    using Existing = AtomicFileWriter::Existing;
    struct Row {
        const char* what;
        NamedTemporary how;
        Existing existing;
        bool taken;
        int error;  // 0: published
        Call also_failing = Call::kUnnamedOpen;
        int also_errno = 0;  // what also_failing fails with; 0 for nothing more
    };
    const Row rows[] = {
        {"moved where no name is", NamedTemporary::kRenameNoReplace, Existing::kKeep, false, 0},
        {"linked, then unlinked", NamedTemporary::kLinkThenUnlink, Existing::kKeep, false, 0},
        {"moved, the name taken", NamedTemporary::kRenameNoReplace, Existing::kKeep, true,
         platform::err::kFileAlreadyExists},
        {"linked, the name taken", NamedTemporary::kLinkThenUnlink, Existing::kKeep, true,
         platform::err::kFileAlreadyExists},
        {"a writable file replaced", NamedTemporary::kLinkThenUnlink, Existing::kReplaceWritableFile, true, 0},
        {"a key file replaced", NamedTemporary::kRenameNoReplace, Existing::kReplaceName, true, 0},
        {"renamed once seen free", NamedTemporary::kPlainRename, Existing::kKeep, false, 0},
        {"renamed, the name taken", NamedTemporary::kPlainRename, Existing::kKeep, true,
         platform::err::kFileAlreadyExists},
        {"a writable file replaced, no link", NamedTemporary::kPlainRename, Existing::kReplaceWritableFile, true, 0},
        {"linked, no renameat2", NamedTemporary::kLinkThenUnlink, Existing::kKeep, false, 0, Call::kRenameNoReplace,
         ENOSYS},
        {"linked, renameat2 unsupported", NamedTemporary::kLinkThenUnlink, Existing::kKeep, false, 0,
         Call::kRenameNoReplace, EOPNOTSUPP},
        {"published, the folder's sync fails", NamedTemporary::kRenameNoReplace, Existing::kKeep, false, 0,
         Call::kFolderSync, EIO},
    };
    for (const Row& row : rows) {
        TempDir dir;
        const fs::path dest = dir / "dest";
        const platform::publish::ForcedNamedTemporary forced(row.how);
        std::optional<platform::publish::FailingCall> also_failing;
        if (row.also_errno != 0) {
            also_failing.emplace(row.also_failing, row.also_errno);
        }
        const platform::publish::FolderSyncs syncs;
        // Taken once the writer has looked, so that publishing is what meets it.
        const platform::publish::BeforePublishing take([&] {
            EXPECT_TRUE(syncs.Outcomes().empty()) << row.what << ": the folder is synced once the file has its name";
            if (row.taken) {
                WriteFile(dest, "taken");
            }
        });
        {
            AtomicFileWriter writer(dest, AtomicFileWriter::Permissions::kLikeNewFile, row.existing);
            writer.Write("fresh");
            EXPECT_EQ(writer.TemporaryPath().parent_path(), dir.Path()) << row.what;
            EXPECT_EQ(PermissionsOf(writer.TemporaryPath()), fs::perms::owner_read | fs::perms::owner_write)
                << row.what;
            try {
                writer.Commit();
                EXPECT_EQ(row.error, 0) << row.what;
            } catch (const platform::RuntimeError& e) {
                EXPECT_EQ(e.Number(), row.error) << row.what;
            }
        }
        EXPECT_EQ(ReadFile(dest), row.error == 0 ? "fresh" : "taken") << row.what;
        const int synced = row.also_failing == Call::kFolderSync ? row.also_errno : 0;
        EXPECT_EQ(syncs.Outcomes(), row.error == 0 ? std::vector<int>{synced} : std::vector<int>()) << row.what;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1)
            << row.what << ": no temporary file is left";
    }

    // A writer refused at once leaves no temporary file either.
    TempDir dir;
    WriteFile(dir / "dest", "taken");
    const platform::publish::ForcedNamedTemporary forced(NamedTemporary::kRenameNoReplace);
    EXPECT_THROW(AtomicFileWriter(dir / "dest", AtomicFileWriter::Permissions::kLikeNewFile, Existing::kKeep),
                 platform::RuntimeError);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

}  // namespace
