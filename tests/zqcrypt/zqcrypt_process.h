#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// Runs the built zqcrypt as a child process, with pipes for its standard
// input, output and error, and an environment of our choosing.
namespace testsupport {

struct ProcessResult {
    int status = -1;  // the exit status, or 128 + signal number
    std::string out;
    std::string err;
};

struct ProcessRequest {
    std::vector<std::string> arguments;            // after the program name
    std::optional<std::string> key;                // ZQ_KEY, as UTF-8; unset when empty
    std::string input;                             // written to standard input, then closed
    std::optional<std::string> stdout_path;        // a file to open as standard output instead of a pipe
    std::optional<std::string> stdin_path;         // a file to open as standard input instead of `input`
    std::optional<std::size_t> address_space_kib;  // run under `ulimit -v` of this many KiB
    std::optional<std::string> working_dir;        // the current folder, when not ours
    bool stdout_closed = false;                    // standard output a pipe nobody reads: writes fail with EPIPE
    bool stderr_closed = false;                    // the same for standard error
};

[[nodiscard]] std::filesystem::path ZqcryptPath();

// Runs zqcrypt to its end; kills it and fails the test after ten seconds.
[[nodiscard]] ProcessResult RunZqcrypt(const ProcessRequest& request);
[[nodiscard]] ProcessResult RunZqcrypt(std::vector<std::string> arguments, std::optional<std::string> key = {},
                                       std::string input = {});

// Starts zqcrypt with `in`, `out` and `err` as its standard descriptors, in
// an environment of a UTF-8 locale and, when given, ZQ_KEY. With
// `own_process_group`, as a shell with job control starts a job: a stop
// sent to it then takes effect, and one it sends its group reaches no test.
[[nodiscard]] pid_t StartZqcrypt(const std::vector<std::string>& arguments, const std::optional<std::string>& key,
                                 int in, int out, int err,
                                 const std::optional<std::size_t>& address_space_kib = std::nullopt,
                                 const std::optional<std::string>& working_dir = std::nullopt,
                                 bool own_process_group = false);

// Waits for a started zqcrypt: its exit status, or 128 + the signal that
// ended it. Kills it and fails the test after ten seconds.
[[nodiscard]] int FinishZqcrypt(pid_t child);

}  // namespace testsupport
