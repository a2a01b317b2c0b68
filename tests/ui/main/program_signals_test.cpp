// The built ZQDecoder itself: it runs without core dumps, and SIGTERM ends it
// through its event loop with exit status 0, as File > Exit does.

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

// Whether the process has a handler for `signal_number` yet.
bool Catches(pid_t pid, int signal_number) {
    const std::string line = ProcLine(pid, "status", "SigCgt:");
    if (line.empty()) {
        return false;
    }
    const unsigned long long mask = std::stoull(line.substr(line.find_first_not_of(" \t", 7)), nullptr, 16);
    return ((mask >> (signal_number - 1)) & 1U) != 0;
}

TEST(ProgramSignals, TheProgramRunsWithoutCoreDumpsAndEndsCleanlyOnSigterm) {
    const testsupport::TempDir dir;
    // A copy in a folder of its own: the unload deletes the key file beside
    // the program, and the build's own must be left alone.
    std::string program = (dir / "ZQDecoder").string();
    std::filesystem::copy_file(ZQDECODER_PATH, program);
    ::setenv("HOME", dir.Path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    char* argv[] = {program.data(), nullptr};
    pid_t child = -1;
    ASSERT_EQ(::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ), 0);

    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!Catches(child, SIGTERM) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_TRUE(Catches(child, SIGTERM)) << "no handler for SIGTERM";
    EXPECT_THAT(ProcLine(child, "limits", "Max core file size"),
                ::testing::MatchesRegex("Max core file size +0 +0 +bytes *"));

    ::kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
}

}  // namespace
