#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zqfuzz {

// Takes `size` bytes as an encrypted container file, decrypts it with
// DecryptFileWithSalt and checks what the operation promises whatever the
// bytes: the plain length, the salt, the same bytes as the in-memory session,
// an old destination kept on failure, no temporary file, no handle left.
// Returns "" when every promise holds, else what was broken.
//
// Shared by the libFuzzer target and by the test that replays its seeds.
[[nodiscard]] std::string DecryptContainer(const std::uint8_t* data, std::size_t size);

}  // namespace zqfuzz
