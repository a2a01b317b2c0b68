#pragma once

#include <cstdint>
#include <string>

// The keyed text cipher that protects message text and the remembered key:
// each character is combined with one key character, the key used cyclically
// from its first character, with arithmetic modulo 255 on single-byte codes.
// Text, key and result are byte strings.
//
// Raises RuntimeError 5 for an empty key under a non-empty text, and 6 for a
// text of 32,767 characters or more.
namespace m_Decoder {

// The longest text the cipher handles: its counters are 16-bit.
inline constexpr std::size_t kLongestText = 32766;

// Subtracts the key codes.
[[nodiscard]] std::string EncodeText(const std::string& sText, const std::string& sKey);

// Adds the key codes; what the program applies to protected text.
[[nodiscard]] std::string DecodeText(const std::string& sText, const std::string& sKey);

}  // namespace m_Decoder

namespace m_Encryption {

// The code of the key's character at the 1-based `position`.
[[nodiscard]] std::int32_t KeyCharCode(const std::string& sKey, std::int16_t position);

}  // namespace m_Encryption
