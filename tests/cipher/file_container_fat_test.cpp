// The file operations on real FAT and exFAT file systems, as USB sticks and
// SD cards carry, mounted through FUSE: no unnamed files, no
// renameat2(RENAME_NOREPLACE), no links; FAT refuses fchmod and holds nothing
// of 4 GiB or more, exFAT takes fchmod and ignores it.
#include "cipher/encryption_state.h"
#include "cipher/file_container.h"
#include "platform/scoped_env.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

using m_Encryption::DecryptFileWithSalt;
using m_Encryption::EncryptFileWithSalt;
using namespace testsupport;
namespace fs = std::filesystem;

constexpr const char* kMountPrefix = "zq-fat-";
constexpr const char* kPlain = "the plain text, on a stick";

void LazilyUnmount(const fs::path& mount) {
    const std::string command =
        "umount -l '" + mount.string() + "' 2>/dev/null || fusermount -u -z '" + mount.string() + "' 2>/dev/null";
    (void)std::system(command.c_str());
}

// Mounts left by a run that crashed: their folder names the process that
// made them, which is gone.
void UnmountStale() {
    std::ifstream mounts("/proc/self/mounts");
    std::string device;
    std::string mount;
    std::string rest;
    while (mounts >> device >> mount && std::getline(mounts, rest)) {
        const std::string name = fs::path(mount).filename().string();
        if (rest.find("fuse") != std::string::npos && name.rfind(kMountPrefix, 0) == 0) {
            const auto pid = static_cast<pid_t>(std::atol(name.c_str() + std::char_traits<char>::length(kMountPrefix)));
            if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH) {
                LazilyUnmount(mount);
            }
        }
    }
}

bool IsMounted(const fs::path& mount) {
    std::ifstream mounts("/proc/self/mounts");
    std::stringstream all;
    all << mounts.rdbuf();
    return all.str().find(" " + mount.string() + " fuse") != std::string::npos;
}

enum class Stick { kFat, kExfat };

class FileContainerFatTest : public ::testing::TestWithParam<Stick> {
protected:
    void SetUp() override {
        UnmountStale();
        WriteFile(dir_ / "plain", kPlain);
        ASSERT_EQ(EncryptFileWithSalt((dir_ / "plain").string(), (dir_ / "sealed").string(), "k"), "");
        fs::create_directory(fat_);
        const std::string image = (dir_ / "stick.img").string();
        const fs::path log = dir_ / "mount.log";
        if (GetParam() == Stick::kExfat) {
            // exfat-fuse mounts only a block device: the image goes through a loop device.
            const std::string loop = "truncate -s 64M '" + image + "' && mkfs.exfat '" + image + "' >'" + log.string() +
                                     "' && losetup -f --show '" + image + "' >'" + (dir_ / "loop").string() + "' 2>>'" +
                                     log.string() + "'";
            if (std::system(loop.c_str()) != 0) {
                GTEST_SKIP() << "no loop device here; the writer's exFAT behaviour is covered by its fault rows\n"
                             << ReadFile(log);
            }
            loop_device_ = ReadFile(dir_ / "loop");
            loop_device_.erase(loop_device_.find_last_not_of('\n') + 1);
        }
        const std::string mount =
            GetParam() == Stick::kFat
                ? "(mkfs.vfat -C '" + image + "' 65536 && fusefat -o rw+ '" + image + "' '" + fat_.string() + "') >'" +
                      log.string() + "' 2>&1"
                : "mount.exfat-fuse '" + loop_device_ + "' '" + fat_.string() + "' >>'" + log.string() + "' 2>&1";
        // Where FUSE or the tools are missing this fails, never skips: CI has them.
        ASSERT_EQ(std::system(mount.c_str()), 0) << mount << "\n" << ReadFile(log);
        ASSERT_TRUE(IsMounted(fat_)) << fat_;
    }
    void TearDown() override {
        LazilyUnmount(fat_);
        if (!loop_device_.empty()) {
            (void)std::system(("losetup -d '" + loop_device_ + "'").c_str());
        }
        m_Encryption::sSalt.clear();
    }

    [[nodiscard]] std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(fat_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    testsupport::TempDir dir_;
    testsupport::ScopedEnv data_home_{"XDG_DATA_HOME", (dir_ / "data").string()};
    fs::path fat_ = dir_ / (kMountPrefix + std::to_string(::getpid()));
    std::string loop_device_;
};

INSTANTIATE_TEST_SUITE_P(Sticks, FileContainerFatTest, ::testing::Values(Stick::kFat, Stick::kExfat),
                         [](const ::testing::TestParamInfo<Stick>& stick) {
                             return stick.param == Stick::kFat ? std::string("fat") : std::string("exfat");
                         });

TEST_P(FileContainerFatTest, DecryptAndEncryptPublishOntoTheStickAndLeaveNothingElse) {
    const std::vector<std::string> just_dest{"dest"};
    EXPECT_EQ(DecryptFileWithSalt((dir_ / "sealed").string(), (fat_ / "dest").string(), "k"), "");
    EXPECT_EQ(ReadFile(fat_ / "dest"), kPlain);
    EXPECT_EQ(Names(), just_dest);

    EXPECT_EQ(DecryptFileWithSalt((dir_ / "sealed").string(), (fat_ / "dest").string(), "k"),
              "58  File already exists");

    for (int round = 0; round < 2; ++round) {  // a new file, then the same name replaced
        fs::remove(dir_ / "back");
        EXPECT_EQ(EncryptFileWithSalt((dir_ / "plain").string(), (fat_ / "dest").string(), "k"), "") << round;
        EXPECT_EQ(Names(), just_dest) << round;
        EXPECT_EQ(DecryptFileWithSalt((fat_ / "dest").string(), (dir_ / "back").string(), "k"), "") << round;
        EXPECT_EQ(ReadFile(dir_ / "back"), kPlain) << round;
        fs::remove(fat_ / "dest");
    }
}

// exFAT holds files far larger than any test would write: FAT alone here.
class FileContainerFatOnlyTest : public FileContainerFatTest {};
INSTANTIATE_TEST_SUITE_P(Fat, FileContainerFatOnlyTest, ::testing::Values(Stick::kFat));

TEST_P(FileContainerFatOnlyTest, AFileTooLargeForFatIsRefusedBeforeAnyWork) {
    // Sparse sources: the encrypted file, salt and length byte added, and the
    // decrypted one are each 4 GiB or more, one past what FAT holds.
    constexpr std::uintmax_t kFatLimit = (std::uintmax_t{1} << 32) - 1;
    WriteFile(dir_ / "huge plain", "");
    fs::resize_file(dir_ / "huge plain", kFatLimit - 12);
    WriteFile(dir_ / "huge sealed", "");
    fs::resize_file(dir_ / "huge sealed", kFatLimit + 2);  // its last byte says: no salt

    const std::string too_large = "60  File too large for the destination's file system";
    EXPECT_EQ(EncryptFileWithSalt((dir_ / "huge plain").string(), (fat_ / "dest").string(), "k"), too_large);
    EXPECT_EQ(DecryptFileWithSalt((dir_ / "huge sealed").string(), (fat_ / "dest").string(), "k"), too_large);
    EXPECT_TRUE(Names().empty());
}

}  // namespace
