#pragma once

#include <string>
#include <string_view>

// Whole reads and writes on the standard descriptors. Failures are raised as
// platform::RuntimeError.
namespace zqcrypt {

// Everything up to the end of input, but never more than `limit` + 1 bytes:
// reading stops at the first byte past the limit, so that a result longer
// than `limit` tells the caller the input is too long, and memory stays
// bounded whatever comes in.
[[nodiscard]] std::string ReadAtMost(int fd, std::size_t limit);

// All of `bytes`, across short writes and interruptions.
void WriteAll(int fd, std::string_view bytes);

[[nodiscard]] bool IsTerminal(int fd) noexcept;

}  // namespace zqcrypt
