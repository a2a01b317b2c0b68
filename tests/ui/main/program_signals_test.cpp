// The built ZQDecoder itself: it runs without core dumps, SIGTERM ends it
// through its event loop with exit status 0, as File > Exit does, and a
// hang-up that `nohup` ignored stays ignored.

#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using namespace std::chrono_literals;

// The line of /proc/PID/FILE that starts with `field`, or "".
std::string ProcLine(pid_t pid, const char* file, const std::string& field) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.starts_with(field)) {
            return line;
        }
    }
    return {};
}

// Whether the process's mask in /proc/PID/status `field` holds `signal_number`.
bool InMask(pid_t pid, const char* field, int signal_number) {
    const std::string line = ProcLine(pid, "status", field);
    if (line.empty()) {
        return false;
    }
    const std::size_t digits = line.find_first_not_of(" \t", std::string_view(field).size());
    const unsigned long long mask = std::stoull(line.substr(digits), nullptr, 16);
    return ((mask >> (signal_number - 1)) & 1U) != 0;
}

bool Catches(pid_t pid, int signal_number) {
    return InMask(pid, "SigCgt:", signal_number);
}

TEST(ProgramSignals, TheProgramRunsWithoutCoreDumpsAndEndsCleanlyOnSigterm) {
    const struct {
        const char* what;
        bool hang_up_ignored;  // as `nohup` starts it
    } rows[] = {{"started plainly", false}, {"started under nohup", true}};
    for (const auto& row : rows) {
        const testsupport::TempDir dir;
        // A copy in a folder of its own: the unload deletes the key file beside
        // the program, and the build's own must be left alone.
        std::string program = (dir / "ZQDecoder").string();
        std::filesystem::copy_file(ZQDECODER_PATH, program);
        ::setenv("HOME", dir.Path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        char* argv[] = {program.data(), nullptr};
        pid_t child = -1;
        // An ignored signal stays ignored across exec.
        const auto previous_hang_up = std::signal(SIGHUP, row.hang_up_ignored ? SIG_IGN : SIG_DFL);
        ASSERT_EQ(::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ), 0) << row.what;
        std::signal(SIGHUP, previous_hang_up);

        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (!Catches(child, SIGTERM) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(20ms);
        }
        EXPECT_TRUE(Catches(child, SIGTERM)) << row.what << ": no handler for SIGTERM";
        EXPECT_EQ(Catches(child, SIGHUP), !row.hang_up_ignored) << row.what;
        EXPECT_EQ(InMask(child, "SigIgn:", SIGHUP), row.hang_up_ignored) << row.what;
        // Any other ending signal removes an unfinished file on its way out.
        for (const int signal_number : {SIGQUIT, SIGPIPE, SIGUSR1, SIGXFSZ}) {
            EXPECT_TRUE(Catches(child, signal_number)) << row.what << ": no handler for signal " << signal_number;
        }
        EXPECT_THAT(ProcLine(child, "limits", "Max core file size"),
                    ::testing::MatchesRegex("Max core file size +0 +0 +bytes *"))
            << row.what;

        ::kill(child, SIGTERM);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status)) << row.what << ": ended by signal "
                                       << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0) << row.what;
    }
}

}  // namespace
