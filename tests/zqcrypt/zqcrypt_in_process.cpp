#include "zqcrypt_in_process.h"

#include "platform/unique_fd.h"
#include "zqcrypt/run.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>

namespace testsupport {
namespace {

using platform::UniqueFd;

[[nodiscard]] UniqueFd MemoryFile(std::string_view contents) {
    UniqueFd fd(::memfd_create("zqcrypt-stream", MFD_CLOEXEC));
    EXPECT_TRUE(fd.Valid()) << "memfd_create: " << errno;
    while (!contents.empty()) {
        const ssize_t written = ::write(fd.Get(), contents.data(), contents.size());
        if (written <= 0) {
            ADD_FAILURE() << "cannot fill a memory file";
            break;
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    (void)::lseek(fd.Get(), 0, SEEK_SET);
    return fd;
}

[[nodiscard]] std::string ContentsOf(int fd) {
    std::string contents;
    char buffer[4096];
    (void)::lseek(fd, 0, SEEK_SET);
    for (ssize_t n = 0; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
        contents.append(buffer, static_cast<std::size_t>(n));
    }
    return contents;
}

}  // namespace

ProcessResult RunInProcess(const ProcessRequest& request) {
    EXPECT_FALSE(request.stdin_path || request.address_space_kib || request.working_dir || request.stdout_closed ||
                 request.stderr_closed)
        << "a process property: run the real zqcrypt";
    const UniqueFd in = MemoryFile(request.input);
    UniqueFd out =
        request.stdout_path ? UniqueFd(::open(request.stdout_path->c_str(), O_WRONLY | O_CLOEXEC)) : MemoryFile("");
    const UniqueFd err = MemoryFile("");
    const std::vector<std::string_view> arguments(request.arguments.begin(), request.arguments.end());
    const zqcrypt::KeySources keys{
        .variable = request.key ? request.key->c_str() : nullptr, .terminal_fd = in.Get(), .prompt_fd = err.Get()};
    const zqcrypt::ExitStatus status =
        zqcrypt::Run(arguments, keys, zqcrypt::Console{.in = in.Get(), .out = out.Get(), .err = err.Get()});
    return ProcessResult{.status = static_cast<int>(status),
                         .out = request.stdout_path ? std::string() : ContentsOf(out.Get()),
                         .err = ContentsOf(err.Get())};
}

ProcessResult RunInProcess(std::vector<std::string> arguments, std::optional<std::string> key, std::string input) {
    return RunInProcess(Request(std::move(arguments), std::move(key), std::move(input)));
}

}  // namespace testsupport
