#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zqfuzz {

// Takes `size` bytes as the remembered-key file, loads it with LoadClientKey
// and checks what the store promises whatever the bytes: loading changes and
// creates nothing, a key comes back only when the file (less one final line
// ending) is short enough for the cipher, that key is as long as the file's
// line, and saving it again gives an owner-only file that loads the same key.
// Returns "" when every promise holds, else what was broken.
//
// Shared by the libFuzzer target and by the test that replays its seeds.
[[nodiscard]] std::string LoadKeyFile(const std::uint8_t* data, std::size_t size);

}  // namespace zqfuzz
