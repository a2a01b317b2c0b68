#include "platform/byte_file.h"

#include "platform/runtime_error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

ByteFileReader::ByteFileReader(const std::filesystem::path& path) {
    // O_NONBLOCK keeps the open of a pipe from waiting for a writer; a regular
    // file ignores it.
    fd_.Reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd_.Valid()) {
        throw ErrorFromErrno(errno);
    }
    struct stat info {};
    if (::fstat(fd_.Get(), &info) != 0) {
        throw ErrorFromErrno(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        throw RuntimeError(err::kPathFileAccessError);
    }
    length_ = static_cast<std::uint64_t>(info.st_size);
    mode_ = info.st_mode & 0777;
    modified_ = info.st_mtim;
}

void ByteFileReader::CheckUnchanged() const {
    struct stat info {};
    if (::fstat(fd_.Get(), &info) != 0) {
        throw ErrorFromErrno(errno);
    }
    if (static_cast<std::uint64_t>(info.st_size) != length_ || info.st_mtim.tv_sec != modified_.tv_sec ||
        info.st_mtim.tv_nsec != modified_.tv_nsec) {
        throw RuntimeError(err::kPathFileAccessError);
    }
}

void ByteFileReader::ReadAt(std::uint64_t offset, std::span<std::uint8_t> bytes) const {
    while (!bytes.empty()) {
        const ssize_t got = ::pread(fd_.Get(), bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw ErrorFromErrno(errno);
        }
        if (got == 0) {
            throw RuntimeError(err::kInputPastEndOfFile);
        }
        bytes = bytes.subspan(static_cast<std::size_t>(got));
        offset += static_cast<std::uint64_t>(got);
    }
}

}  // namespace platform
