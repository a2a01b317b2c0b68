#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

struct magic_set;

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

// Judges decrypted beginnings one after another, with libmagic's database
// loaded once, on the first beginning that needs it, for all of them. One per
// thread: libmagic's handle is not to be shared.
class WrongKeyCheck {
public:
    WrongKeyCheck() = default;
    WrongKeyCheck(const WrongKeyCheck&) = delete;
    WrongKeyCheck& operator=(const WrongKeyCheck&) = delete;
    ~WrongKeyCheck() = default;

    // True when `clear_head`, the first bytes of a decrypted file, look like
    // noise rather than a file: at least kShortestJudged bytes, entropy above
    // kNoiseEntropy, and libmagic either names no type for them (only
    // "application/octet-stream") or takes them for a DOS program, which it
    // does with about one random beginning in a hundred. A PostScript Type 1
    // font and LLVM bitcode are near-random and untyped, but libmagic
    // describes them: no warning.
    // When libmagic cannot be asked, no warning rather than a false one.
    [[nodiscard]] bool LooksLikeWrongKey(std::span<const std::uint8_t> clear_head);

private:
    struct MagicCloser {
        void operator()(magic_set* cookie) const noexcept;
    };

    // What libmagic says of the bytes under `flags`, or nothing when it cannot be asked.
    [[nodiscard]] std::optional<std::string> Ask(std::span<const std::uint8_t> bytes, int flags);

    std::unique_ptr<magic_set, MagicCloser> cookie_;
};

// The same judgement for a single file.
[[nodiscard]] bool LooksLikeWrongKey(std::span<const std::uint8_t> clear_head);

}  // namespace m_Decoder
