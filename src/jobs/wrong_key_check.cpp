#include "jobs/wrong_key_check.h"

#include <array>
#include <cmath>
#include <magic.h>
#include <string_view>

namespace m_Decoder {
namespace {

// Kinds of file that are near-random from their first bytes on and that
// libmagic describes without naming a type for them. Only these: taking any
// description but "data" as a kind would let through about one wrong key in
// twenty, whose noise libmagic describes as something.
constexpr auto kDescribedKinds = std::to_array<std::string_view>({"PostScript Type 1", "LLVM IR bitcode"});

[[nodiscard]] bool DescribesAKnownKind(std::string_view description) {
    for (const std::string_view kind : kDescribedKinds) {
        if (description.starts_with(kind)) {
            return true;
        }
    }
    return false;
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

void WrongKeyCheck::MagicCloser::operator()(magic_set* cookie) const noexcept {
    magic_close(cookie);
}

std::optional<std::string> WrongKeyCheck::Ask(std::span<const std::uint8_t> bytes, int flags) {
    if (!cookie_) {
        cookie_.reset(magic_open(flags | MAGIC_ERROR));
        if (cookie_ && magic_load(cookie_.get(), nullptr) != 0) {
            cookie_.reset();
        }
        if (!cookie_) {
            return std::nullopt;
        }
    } else if (magic_setflags(cookie_.get(), flags | MAGIC_ERROR) != 0) {
        return std::nullopt;
    }
    const char* answer = magic_buffer(cookie_.get(), bytes.data(), bytes.size());
    return answer == nullptr ? std::nullopt : std::optional<std::string>(answer);
}

bool WrongKeyCheck::LooksLikeWrongKey(std::span<const std::uint8_t> clear_head) {
    // libmagic is asked last: it costs some thirty times what the entropy count does.
    if (clear_head.size() < kShortestJudged || BitsPerByte(clear_head) <= kNoiseEntropy) {
        return false;
    }
    const std::optional<std::string> type = Ask(clear_head, MAGIC_MIME_TYPE);
    if (type == "application/x-dosexec") {
        return true;
    }
    if (type != "application/octet-stream") {
        return false;
    }
    const std::optional<std::string> description = Ask(clear_head, MAGIC_NONE);
    return description && !DescribesAKnownKind(*description);
}

bool LooksLikeWrongKey(std::span<const std::uint8_t> clear_head) {
    return WrongKeyCheck().LooksLikeWrongKey(clear_head);
}

}  // namespace m_Decoder
