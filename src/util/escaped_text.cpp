#include "util/escaped_text.h"

#include "platform/code_page.h"

namespace util {
namespace {

constexpr std::string_view kHex = "0123456789ABCDEF";

void AppendEscaped(std::string& out, std::string_view bytes) {
    for (const char b : bytes) {
        const auto code = static_cast<unsigned char>(b);
        out += {'\\', 'x', kHex[code >> 4], kHex[code & 0xF]};
    }
}

// At least four digits, as the character is named: \u{061C}, \u{202E}.
void AppendCodePoint(std::string& out, char32_t c) {
    std::string digits;
    for (; c != 0 || digits.size() < 4; c >>= 4) {
        digits.insert(digits.begin(), kHex[c & 0xF]);
    }
    out += "\\u{" + digits + "}";
}

[[nodiscard]] bool IsControl(char32_t c) noexcept {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

[[nodiscard]] bool Reorders(char32_t c) noexcept {
    return c == 0x061C || c == 0x200B || (c >= 0x200E && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2060 && c <= 0x2064) || (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

}  // namespace

std::string EscapedText(std::string_view text, bool keep_line_breaks) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t c = platform::codepage::NextCodePoint(text, pos);
        const std::string_view sequence = text.substr(start, pos - start);
        // A malformed byte moves on by one and is not ASCII.
        const bool malformed = sequence.size() == 1 && static_cast<unsigned char>(sequence[0]) >= 0x80;
        if ((IsControl(c) && !(keep_line_breaks && c == '\n')) || malformed) {
            AppendEscaped(shown, sequence);
        } else if (Reorders(c)) {
            AppendCodePoint(shown, c);
        } else {
            shown += sequence;
        }
    }
    return shown;
}

bool HoldsReorderingCharacter(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        if (Reorders(platform::codepage::NextCodePoint(text, pos))) {
            return true;
        }
    }
    return false;
}

}  // namespace util
