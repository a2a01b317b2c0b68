#include "jobs/uncarriable_input.h"

#include "platform/code_page.h"

namespace m_Decoder {
namespace {

[[nodiscard]] KeyFit FitOfKeyFound(std::size_t first_uncarriable, KeyUse use) noexcept {
    if (first_uncarriable == platform::codepage::kAllCarriable) {
        return KeyFit::kWhole;
    }
    return use == KeyUse::kMake ? KeyFit::kRefused : KeyFit::kWeakened;
}

}  // namespace

KeyFit FitOfKey(std::u32string_view key, KeyUse use) noexcept {
    return FitOfKeyFound(platform::codepage::FirstUncarriable(key), use);
}

KeyFit FitOfKeyUtf8(std::string_view key, KeyUse use) noexcept {
    return FitOfKeyFound(platform::codepage::FirstUncarriableUtf8(key), use);
}

std::string TextCannotBeProtected(std::size_t position) {
    return "The text holds characters that cannot be protected (first at character " + std::to_string(position) + ").";
}

}  // namespace m_Decoder
