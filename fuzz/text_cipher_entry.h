#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zqfuzz {

// Splits `size` bytes into a key and a text (the first byte gives the key's
// length), runs both directions of the text cipher and checks what it
// promises whatever the bytes: the result as long as the text, every code
// the key's code away modulo 255, each direction undone by the other (a code
// 0 coming back as 255), only the key's first characters taking part, and
// errors 5 and 6 exactly where the cipher refuses.
// Returns "" when every promise holds, else what was broken.
//
// Shared by the libFuzzer target and by the test that replays its seeds.
[[nodiscard]] std::string RunTextCipher(const std::uint8_t* data, std::size_t size);

}  // namespace zqfuzz
