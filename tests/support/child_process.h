#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// Runs a built program as a child process, for the tests where a process
// property is the point: signals, terminals, limits, exit by signal.
namespace testsupport {

inline constexpr std::chrono::seconds kChildTimeout{10};

struct ProcessResult {
    int status = -1;  // the exit status, or 128 + signal number
    std::string out;
    std::string err;
};

// What to start, and in what surroundings.
struct ChildProgram {
    std::filesystem::path program;
    std::vector<std::string> arguments;            // after the program name
    std::vector<std::string> environment;          // the whole of it, NAME=value each
    std::optional<std::string> working_dir;        // the current folder, when not ours
    std::optional<std::size_t> address_space_kib;  // run under `ulimit -v` of this many KiB
    // As a shell with job control starts a job: a stop sent to it then takes
    // effect, and one it sends its group reaches no test.
    bool own_process_group = false;
};

// Its standard streams, for RunChild: pipes unless a file is named.
struct ChildStreams {
    std::string input;                       // written to standard input, then closed
    std::optional<std::string> stdin_path;   // a file to open as standard input instead of `input`
    std::optional<std::string> stdout_path;  // a file to open as standard output instead of a pipe
    bool stdout_closed = false;              // standard output a pipe nobody reads: writes fail with EPIPE
    bool stderr_closed = false;              // the same for standard error
};

// This process's environment, with `changes` made: "NAME=value" sets NAME,
// a bare "NAME" removes it.
[[nodiscard]] std::vector<std::string> EnvironmentWith(const std::vector<std::string>& changes);

// Starts the program with `in`, `out` and `err` as its standard descriptors.
// SIGPIPE is back to its default in the child, as a shell would leave it.
[[nodiscard]] pid_t StartChild(const ChildProgram& child, int in, int out, int err);

// Waits for a started child: its exit status, or 128 + the signal that ended
// it. Kills it and fails the test when it outlives `timeout`.
[[nodiscard]] int FinishChild(pid_t child, std::chrono::milliseconds timeout = kChildTimeout);

// Runs the program to its end, feeding its input and draining its outputs at
// once; kills it and fails the test when it outlives kChildTimeout.
[[nodiscard]] ProcessResult RunChild(const ChildProgram& child, const ChildStreams& streams);

}  // namespace testsupport
