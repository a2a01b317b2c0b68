#pragma once

#include <string>
#include <string_view>

// The single-byte code page (Windows-1252) through which text becomes byte
// strings and back. It is one-to-one over the codes 0-255: the five codes that
// Windows-1252 leaves unassigned stand for the C1 controls of the same value,
// so that every byte string survives a trip through text.
namespace platform::codepage {

// The character that a code stands for.
[[nodiscard]] char32_t CharOfCode(unsigned char code) noexcept;

// The code of a character; '?' for a character the code page cannot hold.
[[nodiscard]] unsigned char CodeOfChar(char32_t character) noexcept;

[[nodiscard]] std::string BytesFromCodePoints(std::u32string_view text);
[[nodiscard]] std::u32string CodePointsFromBytes(std::string_view bytes);

// UTF-8 text to byte string and back. A malformed UTF-8 sequence counts as a
// character the code page cannot hold.
[[nodiscard]] std::string BytesFromUtf8(std::string_view utf8);
[[nodiscard]] std::string Utf8FromBytes(std::string_view bytes);

}  // namespace platform::codepage
