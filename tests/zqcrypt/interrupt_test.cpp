// Ctrl-C in the middle of a long job: the program ends as interrupted, and
// neither an unfinished file nor a damaged destination stays behind.

#include "platform/unique_fd.h"
#include "support/temp_dir.h"
#include "zqcrypt_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <string>
#include <sys/wait.h>
#include <thread>

namespace {

namespace fs = std::filesystem;

[[nodiscard]] std::set<std::string> Names(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// Whether the child holds open a file without a name in `dir`: the job's
// unfinished file, which shows in /proc as "<dir>/#<inode> (deleted)".
[[nodiscard]] bool WritingInto(pid_t child, const fs::path& dir) {
    std::error_code error;
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(child) + "/fd", error)) {
        const std::string target = fs::read_symlink(fd.path(), error).string();
        if (target.rfind((dir / "#").string(), 0) == 0) {
            return true;
        }
    }
    return false;
}

[[nodiscard]] bool Running(pid_t child) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0;
}

TEST(ZqcryptInterrupt, CtrlCDuringAJobLeavesTheDestinationAsItWas) {
    testsupport::TempDir dir;
    testsupport::WriteFile(dir / "big", std::string(std::size_t{96} << 20, 'z'));
    testsupport::WriteFile(dir / "e~big", "the old container");
    const std::set<std::string> before = Names(dir.Path());

    const platform::UniqueFd null(::open("/dev/null", O_RDWR | O_CLOEXEC));
    const pid_t child = testsupport::StartZqcrypt({"encrypt", (dir / "big").string(), (dir / "e~big").string()},
                                                  "secret", null.Get(), null.Get(), null.Get());
    // The job is under way once it holds its unfinished file, which has no name in the folder.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!WritingInto(child, dir.Path()) && Running(child) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    if (!Running(child)) {
        (void)testsupport::FinishZqcrypt(child);
        GTEST_SKIP() << "the job ended before it could be interrupted";
    }
    EXPECT_EQ(Names(dir.Path()), before);
    ::kill(child, SIGINT);

    EXPECT_EQ(testsupport::FinishZqcrypt(child), 128 + SIGINT);
    EXPECT_EQ(Names(dir.Path()), before);
    EXPECT_EQ(testsupport::ReadFile(dir / "e~big"), "the old container");
}

}  // namespace
