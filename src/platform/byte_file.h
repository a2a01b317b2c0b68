#pragma once

#include "platform/unique_fd.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <span>
#include <sys/types.h>

namespace platform {

// A file opened for byte-wise reading at any offset. Failures are raised as
// RuntimeError. Reads at offsets are safe from several threads.
class ByteFileReader {
public:
    // Opens an existing regular file. A missing file raises "File not found";
    // a folder, or anything else that is not a regular file (a pipe would
    // block), raises "Path/File access error".
    explicit ByteFileReader(const std::filesystem::path& path);

    // The length when the file was opened.
    [[nodiscard]] std::uint64_t Length() const noexcept { return length_; }

    // The permission bits when the file was opened.
    [[nodiscard]] mode_t Mode() const noexcept { return mode_; }

    // Fills `bytes` from `offset`. A file that ends sooner, having shrunk
    // since it was opened, raises "Input past end of file".
    void ReadAt(std::uint64_t offset, std::span<std::uint8_t> bytes) const;

    // Raises "Path/File access error" when the file's length or modification
    // time is no longer what it was when it was opened: what was read may
    // mix old and new bytes.
    void CheckUnchanged() const;

private:
    UniqueFd fd_;
    std::uint64_t length_ = 0;
    mode_t mode_ = 0;
    struct timespec modified_ {};
};

}  // namespace platform
