#include "cipher/text_cipher.h"

#include "platform/runtime_error.h"

#include <algorithm>

namespace m_Decoder {
namespace {

using platform::RuntimeError;
namespace err = platform::err;

constexpr std::int32_t kWrap = 255;
constexpr std::size_t kLongestCount = 32767;

enum class Direction { kEncode, kDecode };

// Both directions walk the text once, the key position starting afresh at
// every call. The text length and key position are 16-bit counts: a text
// longer than 32,767 characters is refused before the loop, and one of
// exactly 32,767 fails after it, when the counter cannot step past the end.
std::string Transform(const std::string& sText, const std::string& sKey, Direction direction) {
    if (sText.size() > kLongestCount) {
        throw RuntimeError(err::kOverflow);
    }
    const auto n = static_cast<std::int16_t>(sText.size());
    const auto key_length = static_cast<std::int16_t>(std::min(sKey.size(), kLongestCount));
    std::string result;
    result.reserve(sText.size());
    std::int16_t p = 0;
    for (std::int16_t i = 1; i <= n; ++i) {
        ++p;
        if (p > key_length) {
            p = 1;
        }
        const auto at = static_cast<std::size_t>(i - 1);  // i counts from 1
        std::int32_t v = 0;
        if (direction == Direction::kDecode) {
            const std::int32_t t = static_cast<unsigned char>(sText[at]);
            const std::int32_t k = m_Encryption::KeyCharCode(sKey, p);
            v = t + k;
            if (v > kWrap) {
                v -= kWrap;
            }
        } else {
            const std::int32_t k = m_Encryption::KeyCharCode(sKey, p);
            const std::int32_t t = static_cast<unsigned char>(sText[at]);
            v = t - k;
            if (v < 1) {
                v += kWrap;
            }
        }
        result.push_back(static_cast<char>(v));
        if (i == static_cast<std::int16_t>(kLongestCount)) {
            throw RuntimeError(err::kOverflow);
        }
    }
    return result;
}

}  // namespace

std::string EncodeText(const std::string& sText, const std::string& sKey) {
    return Transform(sText, sKey, Direction::kEncode);
}

std::string DecodeText(const std::string& sText, const std::string& sKey) {
    return Transform(sText, sKey, Direction::kDecode);
}

}  // namespace m_Decoder

namespace m_Encryption {

std::int32_t KeyCharCode(const std::string& sKey, std::int16_t position) {
    if (position < 1 || static_cast<std::size_t>(position) > sKey.size()) {
        throw platform::RuntimeError(platform::err::kInvalidProcedureCall);
    }
    return static_cast<unsigned char>(sKey[static_cast<std::size_t>(position) - 1]);
}

}  // namespace m_Encryption
