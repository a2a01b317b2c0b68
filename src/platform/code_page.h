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

// Decodes one UTF-8 sequence at `pos` and moves past it. A malformed sequence
// (stray continuation, overlong form, surrogate, beyond U+10FFFF, cut short)
// yields U+FFFD and moves one byte on.
[[nodiscard]] char32_t NextCodePoint(std::string_view utf8, std::size_t& pos) noexcept;

// UTF-8 text to byte string and back. A malformed UTF-8 sequence counts as a
// character the code page cannot hold.
[[nodiscard]] std::string BytesFromUtf8(std::string_view utf8);
[[nodiscard]] std::string Utf8FromBytes(std::string_view bytes);

// Whether every character can cross into a byte string as itself. The first
// one that cannot (it would become "?") is given by its position, counted in
// characters from 1; a malformed UTF-8 byte counts as one such character.
[[nodiscard]] std::size_t FirstUncarriable(std::u32string_view text) noexcept;
[[nodiscard]] std::size_t FirstUncarriableUtf8(std::string_view utf8) noexcept;
inline constexpr std::size_t kAllCarriable = 0;

}  // namespace platform::codepage
