#include "zqcrypt/fd_io.h"

#include "platform/runtime_error.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <unistd.h>

namespace zqcrypt {

std::string ReadAtMost(int fd, std::size_t limit) {
    std::string bytes;
    std::array<char, 65536> buffer{};
    while (bytes.size() <= limit) {
        const std::size_t wanted = std::min(buffer.size(), limit + 1 - bytes.size());
        const ssize_t got = ::read(fd, buffer.data(), wanted);
        if (got > 0) {
            bytes.append(buffer.data(), static_cast<std::size_t>(got));
        } else if (got == 0) {
            return bytes;
        } else if (errno != EINTR) {
            throw platform::ErrorFromErrno(errno);
        }
    }
    return bytes;
}

void WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put >= 0) {
            bytes.remove_prefix(static_cast<std::size_t>(put));
        } else if (errno != EINTR) {
            throw platform::ErrorFromErrno(errno);
        }
    }
}

bool IsTerminal(int fd) noexcept {
    return ::isatty(fd) == 1;
}

}  // namespace zqcrypt
