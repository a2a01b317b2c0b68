#pragma once

#include <cstdint>
#include <span>

// A wrong key decrypts without any error: the stream cipher turns the file
// into noise of the same length. What came out is judged here instead, from
// its first bytes, for both front ends alike.
namespace m_Decoder {

// The warning that both front ends give, word for word.
inline constexpr const char* kCheckTheKeyTitle = "Check the Key";
inline constexpr const char* kWrongKeyWarning =
    "The decoded file does not look like any known kind of file. The client key may be wrong.";

// Shorter beginnings are never judged: too few bytes to tell noise from data.
inline constexpr std::size_t kShortestJudged = 4096;

// The bits per byte above which bytes count as near-random.
inline constexpr double kNoiseEntropy = 7.5;

// Shannon entropy of the bytes, in bits per byte (0 for none).
[[nodiscard]] double BitsPerByte(std::span<const std::uint8_t> bytes);

// True when `clear_head`, the first bytes of a decrypted file, look like no
// kind of file at all: libmagic names no type for them (only
// "application/octet-stream") and they are near-random, over at least
// kShortestJudged bytes. A type that libmagic cannot be asked for gives false:
// no warning rather than a false one.
[[nodiscard]] bool LooksLikeWrongKey(std::span<const std::uint8_t> clear_head);

}  // namespace m_Decoder
