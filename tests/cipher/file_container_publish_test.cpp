// What the file operations do to whatever is at the destination: a decrypted
// file never takes the place of anything, an encrypted one replaces only a
// regular file its owner may write, and nothing has a name before it is
// complete and on the disk.
#include "cipher/chunk_pump.h"
#include "cipher/encryption_state.h"
#include "cipher/file_container.h"
#include "platform/crypt/crypto_provider.h"
#include "platform/scoped_env.h"
#include "support/crypto_faults.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"
#include "support/writer_faults.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <map>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using m_Encryption::DecryptFileWithSalt;
using m_Encryption::EncryptFileWithSalt;
using namespace testsupport;
namespace fs = std::filesystem;

enum class Op { kEncrypt, kDecrypt };

constexpr const char* kPlain = "the plain text";

// Every name in the folder with what it is: type, permission bits, and the
// content of a file or the target of a link.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        struct stat info {};
        if (::lstat(entry.path().c_str(), &info) != 0) {
            ADD_FAILURE() << "cannot look at " << entry.path();
            continue;
        }
        std::string what = std::to_string(info.st_mode);
        if (S_ISREG(info.st_mode)) {
            what += " " + ReadFile(entry.path());
        } else if (S_ISLNK(info.st_mode)) {
            what += " -> " + fs::read_symlink(entry.path()).string();
        }
        entries[entry.path().filename().string()] = what;
    }
    return entries;
}

// Makes a socket file at `path`; false where none can be made.
bool MakeSocket(const fs::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string text = path.string();
    if (fd < 0 || text.size() >= sizeof(address.sun_path)) {
        return false;
    }
    text.copy(address.sun_path, text.size());
    const bool made = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return made;
}

class FileContainerPublishTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(dir_ / "plain", kPlain);
        ASSERT_EQ(EncryptFileWithSalt((dir_ / "plain").string(), (dir_ / "sealed").string(), "k"), "");
        fs::create_directory(work_);
    }
    void TearDown() override {
        EXPECT_EQ(platform::crypt::OpenHandleCount(), 0U);
        m_Encryption::sSalt.clear();
    }

    std::string Run(Op op, const fs::path& dest, const m_Encryption::Progress& progress = {}) const {
        return op == Op::kEncrypt ? EncryptFileWithSalt((dir_ / "plain").string(), dest.string(), "k", progress)
                                  : DecryptFileWithSalt((dir_ / "sealed").string(), dest.string(), "k", progress);
    }

    TempDir dir_;
    ScopedEnv data_home_{"XDG_DATA_HOME", (dir_ / "data").string()};
    fs::path work_ = dir_ / "work";
};

TEST_F(FileContainerPublishTest, EachKindOfDestinationIsKeptOrReplacedAsAFileMayBe) {
    WriteFile(dir_ / "elsewhere", "a file a link points to");
    fs::create_directory(dir_ / "a folder");
    struct Row {
        const char* what;
        std::function<bool(const fs::path&)> make;  // false: this kind cannot be made here
        const char* decrypted;
        const char* encrypted;  // "" for a replaced file, which keeps its mode
    };
    const auto file_with_mode = [](mode_t mode) {
        return [mode](const fs::path& dest) {
            WriteFile(dest, "the user's own file");
            return ::chmod(dest.c_str(), mode) == 0;
        };
    };
    const auto link_to = [](const fs::path& target) {
        return [target](const fs::path& dest) {
            fs::create_symlink(target, dest);
            return true;
        };
    };
    const Row rows[] = {
        {"a writable file", file_with_mode(0640), "58  File already exists", ""},
        {"a read-only file", file_with_mode(0444), "58  File already exists", "70  Permission denied"},
        {"a folder", [](const fs::path& dest) { return fs::create_directory(dest); }, "58  File already exists",
         "75  Path/File access error"},
        {"a FIFO", [](const fs::path& dest) { return ::mkfifo(dest.c_str(), 0644) == 0; }, "58  File already exists",
         "75  Path/File access error"},
        {"a socket", MakeSocket, "58  File already exists", "75  Path/File access error"},
        {"a device", [](const fs::path& dest) { return ::mknod(dest.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; },
         "58  File already exists", "75  Path/File access error"},
        {"a link to a file", link_to(dir_ / "elsewhere"), "58  File already exists", "75  Path/File access error"},
        {"a dangling link", link_to(dir_ / "nowhere"), "58  File already exists", "75  Path/File access error"},
        {"a link to a folder", link_to(dir_ / "a folder"), "58  File already exists", "75  Path/File access error"},
    };
    for (const Op op : {Op::kDecrypt, Op::kEncrypt}) {
        for (const Row& row : rows) {
            const std::string what = std::string(op == Op::kEncrypt ? "encrypt over " : "decrypt over ") + row.what;
            fs::remove_all(work_);
            fs::create_directory(work_);
            if (!row.make(work_ / "dest")) {
                ASSERT_EQ(errno, EPERM) << what;  // a device node needs a privilege containers may lack
                continue;
            }
            const auto before = Snapshot(work_);

            const std::string expected = op == Op::kEncrypt ? row.encrypted : row.decrypted;
            EXPECT_EQ(Run(op, work_ / "dest"), expected) << what;

            auto after = Snapshot(work_);
            if (expected.empty()) {
                EXPECT_EQ(ReadFile(work_ / "dest").size(), std::string(kPlain).size() + 13) << what;
                EXPECT_EQ(fs::status(work_ / "dest").permissions(),
                          fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read)
                    << what << ": the replaced file's mode";
                after["dest"] = before.at("dest");
            }
            EXPECT_EQ(after, before) << what;
            EXPECT_EQ(ReadFile(dir_ / "elsewhere"), "a file a link points to") << what;
            EXPECT_TRUE(fs::is_empty(dir_ / "a folder")) << what;
            EXPECT_FALSE(fs::exists(dir_ / "nowhere")) << what;
        }
    }
}

TEST_F(FileContainerPublishTest, ANameTakenWhileTheJobRunsIsNeverReplaced) {
    struct Row {
        const char* what;
        Op op;
        std::function<void(const fs::path&)> appear;
        const char* error;
    };
    const Row rows[] = {
        {"decrypt, a file appears", Op::kDecrypt, [](const fs::path& dest) { WriteFile(dest, "mine"); },
         "58  File already exists"},
        {"decrypt, a FIFO appears", Op::kDecrypt, [](const fs::path& dest) { (void)::mkfifo(dest.c_str(), 0600); },
         "58  File already exists"},
        {"encrypt, a FIFO appears", Op::kEncrypt, [](const fs::path& dest) { (void)::mkfifo(dest.c_str(), 0600); },
         "75  Path/File access error"},
        {"encrypt, a read-only file appears", Op::kEncrypt,
         [](const fs::path& dest) {
             WriteFile(dest, "mine");
             fs::permissions(dest, fs::perms::owner_read);
         },
         "70  Permission denied"},
        {"encrypt, a link appears", Op::kEncrypt,
         [this](const fs::path& dest) { fs::create_symlink(dir_ / "plain", dest); }, "75  Path/File access error"},
    };
    for (const Row& row : rows) {
        fs::remove_all(work_);
        fs::create_directory(work_);
        std::map<std::string, std::string> appeared;
        const platform::publish::BeforePublishing hook([&] {
            row.appear(work_ / "dest");
            appeared = Snapshot(work_);
        });

        EXPECT_EQ(Run(row.op, work_ / "dest"), row.error) << row.what;
        EXPECT_EQ(appeared.size(), 1U) << row.what << ": the file being written has no name";
        EXPECT_EQ(Snapshot(work_), appeared) << row.what;
    }
}

TEST_F(FileContainerPublishTest, AFailedFinalSyncReportsTheErrorAndPublishesNothing) {
    WriteFile(work_ / "old", "old container");
    for (const char* dest : {"new", "old"}) {
        for (const Op op : {Op::kDecrypt, Op::kEncrypt}) {
            if (op == Op::kDecrypt && std::string(dest) == "old") {
                continue;  // refused before any work
            }
            const auto before = Snapshot(work_);
            const platform::publish::SyncFailure failure(EIO);
            EXPECT_EQ(Run(op, work_ / dest), "57  Device I/O error") << dest;
            EXPECT_EQ(Snapshot(work_), before) << dest;
        }
    }
}

TEST_F(FileContainerPublishTest, ASourceThatChangesWhileItIsReadPublishesNothing) {
    struct Row {
        const char* what;
        std::function<void(const fs::path&)> change;
    };
    const Row rows[] = {
        {"grows", [](const fs::path& source) { std::ofstream(source, std::ios::app) << "more"; }},
        {"is rewritten in place",
         [](const fs::path& source) {
             const timespec times[2] = {{0, UTIME_OMIT}, {12345, 0}};
             (void)::utimensat(AT_FDCWD, source.c_str(), times, 0);
         }},
        {"is rewritten within the same second",
         [](const fs::path& source) {
             struct stat info {};
             (void)::stat(source.c_str(), &info);
             info.st_mtim.tv_nsec = (info.st_mtim.tv_nsec + 1) % 1000000000;
             const timespec times[2] = {{0, UTIME_OMIT}, info.st_mtim};
             (void)::utimensat(AT_FDCWD, source.c_str(), times, 0);
         }},
    };
    for (const Op op : {Op::kDecrypt, Op::kEncrypt}) {
        for (const Row& row : rows) {
            const fs::path source = dir_ / (op == Op::kEncrypt ? "plain" : "sealed");
            const std::string kept = ReadFile(source);
            bool changed = false;
            const auto change_once = [&](std::uint64_t, std::uint64_t) {
                if (!changed) {
                    row.change(source);
                    changed = true;
                }
            };
            EXPECT_EQ(Run(op, work_ / "dest", change_once), "75  Path/File access error") << row.what;
            EXPECT_TRUE(fs::is_empty(work_)) << row.what;
            WriteFile(source, kept);
        }
    }
}

TEST_F(FileContainerPublishTest, AJobKilledOutrightLeavesNothingInTheFolder) {
    WriteFile(dir_ / "big", std::string(6 * cipher::kChunkSize, 'b'));
    for (const Op op : {Op::kDecrypt, Op::kEncrypt}) {
        if (op == Op::kDecrypt) {
            ASSERT_EQ(EncryptFileWithSalt((dir_ / "big").string(), (dir_ / "sealed").string(), "k"), "");
        } else {
            fs::rename(dir_ / "big", dir_ / "plain");
        }
        int ready[2] = {-1, -1};
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Half way through, tell the parent, and wait to be killed.
            (void)Run(op, work_ / "dest", [&](std::uint64_t done, std::uint64_t total) {
                if (2 * done >= total) {
                    (void)::write(ready[1], "x", 1);
                    while (true) {
                        ::pause();
                    }
                }
            });
            ::_exit(1);
        }
        ::close(ready[1]);
        char byte = 0;
        EXPECT_EQ(::read(ready[0], &byte, 1), 1);
        ::close(ready[0]);
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        EXPECT_TRUE(fs::is_empty(work_));
    }
}

TEST_F(FileContainerPublishTest, AnUnprivilegedUserPublishesThroughTheUnnamedFile) {
    WriteFile(work_ / "old.zq", "old container");
    fs::permissions(work_ / "old.zq", fs::perms::owner_read | fs::perms::owner_write);
    for (const fs::path& path : {dir_.Path(), work_, work_ / "old.zq", dir_ / "plain", dir_ / "sealed"}) {
        testsupport::GiveToUnprivilegedUser(path);
    }
    const int result = testsupport::RunUnprivileged([&] {
        ::setenv("XDG_DATA_HOME", (work_ / "data").c_str(), 1);
        fs::create_directory(work_ / "data");
        // While the job runs, the folder shows no temporary name.
        std::size_t names_seen = 0;
        const auto count = [&](std::uint64_t, std::uint64_t) {
            names_seen = std::max<std::size_t>(names_seen, Snapshot(work_).size());
        };
        if (Run(Op::kDecrypt, work_ / "plain", count) != "" || ReadFile(work_ / "plain") != kPlain) {
            return 1;
        }
        if (Run(Op::kEncrypt, work_ / "old.zq", count) != "" || ReadFile(work_ / "old.zq").size() != 14 + 13) {
            return 2;
        }
        return names_seen <= 3 ? 0 : 3;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(fs::status(work_ / "old.zq").permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

}  // namespace
