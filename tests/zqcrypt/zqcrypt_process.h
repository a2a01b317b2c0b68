#pragma once

#include "support/child_process.h"
#include "zqcrypt/exit_status.h"

#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// Runs the built zqcrypt as a child process, with pipes for its standard
// input, output and error, and an environment of our choosing.
namespace testsupport {

// zqcrypt's exit statuses as the numbers a process ends with.
inline constexpr int kSucceeded = static_cast<int>(zqcrypt::ExitStatus::kSuccess);
inline constexpr int kRefused = static_cast<int>(zqcrypt::ExitStatus::kRefused);
inline constexpr int kJobFailed = static_cast<int>(zqcrypt::ExitStatus::kJobFailed);
inline constexpr int kUsage = static_cast<int>(zqcrypt::ExitStatus::kUsage);

struct ProcessRequest : ChildStreams {
    // Not an aggregate: a braced list of arguments means the arguments alone.
    ProcessRequest() = default;

    std::vector<std::string> arguments;            // after the program name
    std::optional<std::string> key;                // ZQ_KEY, as UTF-8; unset when empty
    std::optional<std::size_t> address_space_kib;  // run under `ulimit -v` of this many KiB
    std::optional<std::string> working_dir;        // the current folder, when not ours
};

// The request of the commonest run: arguments, a key and standard input.
[[nodiscard]] inline ProcessRequest Request(std::vector<std::string> arguments, std::optional<std::string> key = {},
                                            std::string input = {}) {
    ProcessRequest request;
    request.arguments = std::move(arguments);
    request.key = std::move(key);
    request.input = std::move(input);
    return request;
}

[[nodiscard]] std::filesystem::path ZqcryptPath();

// Runs zqcrypt to its end; kills it and fails the test after ten seconds.
[[nodiscard]] ProcessResult RunZqcrypt(const ProcessRequest& request);
[[nodiscard]] ProcessResult RunZqcrypt(std::vector<std::string> arguments, std::optional<std::string> key = {},
                                       std::string input = {});

// Starts zqcrypt with `in`, `out` and `err` as its standard descriptors, in
// an environment of a UTF-8 locale and, when given, ZQ_KEY. With
// `own_process_group`, as a shell with job control starts a job.
[[nodiscard]] pid_t StartZqcrypt(const std::vector<std::string>& arguments, const std::optional<std::string>& key,
                                 int in, int out, int err,
                                 const std::optional<std::size_t>& address_space_kib = std::nullopt,
                                 const std::optional<std::string>& working_dir = std::nullopt,
                                 bool own_process_group = false);

// Waits for a started zqcrypt: its exit status, or 128 + the signal that
// ended it. Kills it and fails the test after ten seconds.
[[nodiscard]] inline int FinishZqcrypt(pid_t child) {
    return FinishChild(child);
}

}  // namespace testsupport
