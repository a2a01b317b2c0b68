#include "util/escaped_text.h"

#include "platform/code_page.h"

namespace util {
namespace {

void AppendEscaped(std::string& out, std::string_view bytes) {
    static constexpr std::string_view kHex = "0123456789ABCDEF";
    for (const char b : bytes) {
        const auto code = static_cast<unsigned char>(b);
        out += {'\\', 'x', kHex[code >> 4], kHex[code & 0xF]};
    }
}

[[nodiscard]] bool IsControl(char32_t c) noexcept {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
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
        } else {
            shown += sequence;
        }
    }
    return shown;
}

}  // namespace util
