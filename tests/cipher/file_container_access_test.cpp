// Who may read what the file operations write: a new file is never more open
// than cp would make it, a replaced one keeps its access, and only the
// caller's own file is replaced.
#include "cipher/encryption_state.h"
#include "cipher/file_container.h"
#include "platform/scoped_env.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"
#include "support/writer_faults.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using m_Encryption::DecryptFileWithSalt;
using m_Encryption::EncryptFileWithSalt;
using platform::publish::Call;
using namespace testsupport;
namespace fs = std::filesystem;

// The permission bits and the raw access ACL ("" for none) of a file.
std::pair<mode_t, std::string> AccessOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    std::string acl(4096, '\0');
    const ssize_t size = ::lgetxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size());
    acl.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
    return {info.st_mode & 0777, acl};
}

void Shell(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

class FileContainerAccessTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(dir_ / "plain", "the plain text");
        fs::permissions(dir_ / "plain", fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec &
                                            ~fs::perms::others_exec);  // 0666: cp then gives a new file's mode
        ASSERT_EQ(EncryptFileWithSalt((dir_ / "plain").string(), (dir_ / "sealed").string(), "k"), "");
    }
    void TearDown() override { m_Encryption::sSalt.clear(); }

    TempDir dir_;
    testsupport::ScopedEnv data_home_{"XDG_DATA_HOME", (dir_ / "data").string()};
};

TEST_F(FileContainerAccessTest, ANewFileIsNoMoreOpenThanCpMakesItAndAReplacedOneKeepsItsAccess) {
    enum class Expect { kAsCp, kNoWiderThanCp, kKept };
    using Calls = std::vector<std::pair<Call, int>>;
    const Calls none;
    const Calls named{{Call::kUnnamedOpen, EOPNOTSUPP}};
    const Calls fusefat{{Call::kUnnamedOpen, ENOSYS}, {Call::kChangeMode, ENOSYS}};
    const Calls exfat{{Call::kUnnamedOpen, EISDIR}, {Call::kRenameNoReplace, EINVAL}, {Call::kLink, EPERM}};
    const Calls chmod_refused{{Call::kChangeMode, ENOSYS}};
    const char* private_default = "-d -m u::rwx,g::---,o::---";
    const char* with_acl = "-m u::rw,u:nobody:r,g::r,m::r,o::-";
    const char* write_only = "-m u::w,g::-,o::-";
    const char* unsupported = "73  Operation not supported";
    struct Row {
        const char* what;
        mode_t source;  // of the plain file and of its container
        mode_t umask;
        const char* folder_acl;  // setfacl arguments for the folder, "" for none
        const char* existing;    // setfacl arguments for a file already at the destination, nullptr for none
        const Calls& failing;
        bool mode_change_ignored;
        Expect expect;
        const char* error;
    };
    const Row rows[] = {
        {"umask 022", 0666, 022, "", nullptr, none, false, Expect::kAsCp, ""},
        {"umask 077", 0666, 077, "", nullptr, none, false, Expect::kAsCp, ""},
        {"0600, umask 022", 0600, 022, "", nullptr, none, false, Expect::kAsCp, ""},
        {"0644, umask 000", 0644, 0, "", nullptr, none, false, Expect::kAsCp, ""},
        {"0644, a default ACL giving others rw", 0644, 022, "-d -m o::rw", nullptr, none, false, Expect::kAsCp, ""},
        {"a private default ACL", 0666, 022, private_default, nullptr, none, false, Expect::kAsCp, ""},
        {"named temporary, umask 077", 0666, 077, "", nullptr, named, false, Expect::kAsCp, ""},
        {"named temporary, 0600, umask 022", 0600, 022, "", nullptr, named, false, Expect::kAsCp, ""},
        {"named temporary, a private default ACL", 0666, 022, private_default, nullptr, named, false, Expect::kAsCp,
         ""},
        {"named temporary, a default ACL naming a user", 0666, 022, "-d -m u:nobody:rw", nullptr, named, false,
         Expect::kAsCp, ""},
        {"as on fusefat: fchmod refused", 0666, 022, "", nullptr, fusefat, false, Expect::kNoWiderThanCp, ""},
        {"as on exFAT: fchmod ignored, no renameat2, no link", 0666, 0, "", nullptr, exfat, true,
         Expect::kNoWiderThanCp, ""},
        {"encrypt over a file with an ACL", 0666, 077, "", with_acl, none, false, Expect::kKept, ""},
        {"encrypt over a file with an ACL, named temporary", 0666, 022, private_default, with_acl, named, false,
         Expect::kKept, ""},
        {"encrypt over a file without an ACL, a default ACL naming a user", 0666, 022, "-d -m u:nobody:rw", "-b", none,
         false, Expect::kKept, ""},
        {"encrypt over a write-only file, fchmod ignored", 0666, 022, "", write_only, none, true, Expect::kKept,
         unsupported},
        {"encrypt over a write-only file, fchmod refused", 0666, 022, "", write_only, chmod_refused, false,
         Expect::kKept, unsupported},
    };
    for (const Row& row : rows) {
        for (const bool encrypt : {false, true}) {
            if (!encrypt && row.existing != nullptr) {
                continue;  // decrypting never replaces a file
            }
            const std::string what = std::string(row.what) + (encrypt ? ", encrypt" : ", decrypt");
            const fs::path source = dir_ / (encrypt ? "plain" : "sealed");
            fs::permissions(dir_ / "plain", static_cast<fs::perms>(row.source));
            fs::permissions(dir_ / "sealed", static_cast<fs::perms>(row.source));
            const fs::path work = dir_ / "work";
            fs::remove_all(work);
            fs::create_directory(work);
            if (*row.folder_acl != '\0') {
                Shell("setfacl " + std::string(row.folder_acl) + " " + work.string());
            }
            const mode_t old_umask = ::umask(row.umask);
            Shell("cp " + source.string() + " " + (work / "by-cp").string());
            const auto by_cp = AccessOf(work / "by-cp");
            fs::remove(work / "by-cp");
            if (row.existing != nullptr) {
                WriteFile(work / "dest", "old");
                Shell("setfacl " + std::string(row.existing) + " " + (work / "dest").string());
            }
            const auto before = row.existing != nullptr ? AccessOf(work / "dest") : by_cp;
            std::string result;
            {
                std::vector<std::unique_ptr<platform::publish::FailingCall>> failing;
                for (const auto& [call, error] : row.failing) {
                    failing.push_back(std::make_unique<platform::publish::FailingCall>(call, error));
                }
                std::optional<platform::publish::IgnoredModeChange> ignored;
                if (row.mode_change_ignored) {
                    ignored.emplace();
                }
                result = encrypt ? EncryptFileWithSalt(source.string(), (work / "dest").string(), "k")
                                 : DecryptFileWithSalt(source.string(), (work / "dest").string(), "k");
            }
            ::umask(old_umask);

            EXPECT_EQ(result, row.error) << what;
            EXPECT_EQ(std::distance(fs::directory_iterator(work), fs::directory_iterator()), 1) << what;
            const auto ours = AccessOf(work / "dest");
            if (row.expect == Expect::kNoWiderThanCp) {
                EXPECT_EQ(ours.first & ~by_cp.first, 0U)
                    << what << std::oct << ": " << ours.first << " " << by_cp.first;
            } else {
                EXPECT_EQ(ours, before) << what << std::oct << ": " << ours.first << " " << before.first;
            }
            if (*row.error != '\0') {
                EXPECT_EQ(ReadFile(work / "dest"), "old") << what;
            }
        }
    }
}

TEST_F(FileContainerAccessTest, OnlyTheCallersOwnFileIsReplacedAndRootKeepsItsOwner) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root, to be two users";
    }
    const fs::path shared = dir_ / "shared";
    fs::create_directory(shared);
    fs::permissions(shared, fs::perms::all);  // 0777, not sticky
    fs::permissions(dir_.Path(), fs::perms::others_exec, fs::perm_options::add);
    WriteFile(shared / "r", "root's file");
    fs::permissions(shared / "r",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    fs::create_directories(dir_ / "data");
    testsupport::GiveToUnprivilegedUser(dir_ / "data");

    const int result = testsupport::RunUnprivileged([&] {
        return EncryptFileWithSalt((dir_ / "plain").string(), (shared / "r").string(), "k") == "70  Permission denied"
                   ? 0
                   : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(shared / "r"), "root's file");
    EXPECT_EQ(fs::status(shared / "r").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);

    // Root gives the file back its owner and group, whichever of them is not root's.
    for (const auto& [owner, group] : {std::pair<uid_t, gid_t>{65534, 65534}, {0, 65534}, {65534, 0}}) {
        WriteFile(shared / "r", "root's file");
        ASSERT_EQ(::chown((shared / "r").c_str(), owner, group), 0);
        EXPECT_EQ(EncryptFileWithSalt((dir_ / "plain").string(), (shared / "r").string(), "k"), "");
        struct stat info {};
        ASSERT_EQ(::stat((shared / "r").c_str(), &info), 0);
        EXPECT_EQ(std::pair(info.st_uid, info.st_gid), std::pair(owner, group));
        EXPECT_NE(ReadFile(shared / "r"), "root's file");
    }
}

}  // namespace
