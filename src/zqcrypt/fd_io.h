#pragma once

#include <string>
#include <string_view>

// Whole reads and writes on the standard descriptors. Failures are raised as
// platform::RuntimeError.
namespace zqcrypt {

// Everything up to the end of input.
[[nodiscard]] std::string ReadAll(int fd);

// All of `bytes`, across short writes and interruptions.
void WriteAll(int fd, std::string_view bytes);

[[nodiscard]] bool IsTerminal(int fd) noexcept;

}  // namespace zqcrypt
