// The built ZQDecoder itself: it runs without core dumps, and SIGTERM ends it
// through its event loop with exit status 0, as File > Exit does.

#include "support/child_process.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

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
    const std::string program = (dir / "ZQDecoder").string();
    std::filesystem::copy_file(ZQDECODER_PATH, program);
    testsupport::ChildProgram child_program;
    child_program.program = program;
    child_program.environment =
        testsupport::EnvironmentWith({"HOME=" + dir.Path().string(), "XDG_CONFIG_HOME=" + (dir / "config").string()});
    const pid_t child = testsupport::StartChild(child_program, STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO);

    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!Catches(child, SIGTERM) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_TRUE(Catches(child, SIGTERM)) << "no handler for SIGTERM";
    EXPECT_THAT(ProcLine(child, "limits", "Max core file size"),
                ::testing::MatchesRegex("Max core file size +0 +0 +bytes *"));

    ::kill(child, SIGTERM);
    // 128 + N: ended by signal N.
    EXPECT_EQ(testsupport::FinishChild(child, 20s), 0);
}

}  // namespace
