#include "jobs/wrong_key_check.h"

#include <array>
#include <cmath>
#include <magic.h>
#include <memory>
#include <string_view>

namespace m_Decoder {
namespace {

struct MagicCloser {
    void operator()(magic_set* cookie) const noexcept { magic_close(cookie); }
};
using MagicCookie = std::unique_ptr<magic_set, MagicCloser>;

// The MIME type libmagic gives the bytes, or "" when it cannot be asked.
[[nodiscard]] std::string_view MimeTypeOf(std::span<const std::uint8_t> bytes, const MagicCookie& cookie) {
    if (!cookie || magic_load(cookie.get(), nullptr) != 0) {
        return {};
    }
    const char* type = magic_buffer(cookie.get(), bytes.data(), bytes.size());
    return type == nullptr ? std::string_view() : std::string_view(type);
}

}  // namespace

double BitsPerByte(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return 0.0;
    }
    std::array<std::size_t, 256> counts{};
    for (const std::uint8_t byte : bytes) {
        ++counts[byte];
    }
    double bits = 0.0;
    const auto total = static_cast<double>(bytes.size());
    for (const std::size_t count : counts) {
        if (count != 0) {
            const double p = static_cast<double>(count) / total;
            bits -= p * std::log2(p);
        }
    }
    return bits;
}

bool LooksLikeWrongKey(std::span<const std::uint8_t> clear_head) {
    if (clear_head.size() < kShortestJudged || BitsPerByte(clear_head) <= kNoiseEntropy) {
        return false;
    }
    // Asked last: loading the magic database is the costly part.
    const MagicCookie cookie(magic_open(MAGIC_MIME_TYPE | MAGIC_ERROR));
    return MimeTypeOf(clear_head, cookie) == "application/octet-stream";
}

}  // namespace m_Decoder
