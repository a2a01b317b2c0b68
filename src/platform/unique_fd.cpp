#include "platform/unique_fd.h"

#include <cerrno>
#include <unistd.h>

namespace platform {

int UniqueFd::Close() noexcept {
    if (fd_ < 0) {
        return 0;
    }
    // On Linux the descriptor is gone even when close() fails, so never retry it.
    const int result = ::close(std::exchange(fd_, -1));
    return result == 0 ? 0 : errno;
}

void UniqueFd::Reset(int fd) noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = fd;
}

}  // namespace platform
