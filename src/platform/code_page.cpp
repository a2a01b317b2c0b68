#include "platform/code_page.h"

#include <array>
#include <cstdint>

namespace platform::codepage {
namespace {

// Windows-1252 from 0x80 to 0x9F; the five gaps of the code page keep their C1 controls.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char32_t kReplacement = 0xFFFD;
constexpr unsigned char kUnmappable = '?';

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

char32_t NextCodePoint(std::string_view utf8, std::size_t& pos) noexcept {
    const auto lead = static_cast<unsigned char>(utf8[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    std::size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        ++pos;
        return kReplacement;
    }
    if (pos + length > utf8.size()) {
        ++pos;
        return kReplacement;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(utf8[pos + i]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return kReplacement;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++pos;
        return kReplacement;
    }
    pos += length;
    return value;
}

char32_t CharOfCode(unsigned char code) noexcept {
    if (code >= 0x80 && code <= 0x9F) {
        return kHighControls[code - 0x80];
    }
    return code;
}

unsigned char CodeOfChar(char32_t character) noexcept {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        return static_cast<unsigned char>(character);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == character) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return kUnmappable;
}

std::string BytesFromCodePoints(std::u32string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (const char32_t c : text) {
        bytes.push_back(static_cast<char>(CodeOfChar(c)));
    }
    return bytes;
}

std::u32string CodePointsFromBytes(std::string_view bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    for (const char b : bytes) {
        text.push_back(CharOfCode(static_cast<unsigned char>(b)));
    }
    return text;
}

std::string BytesFromUtf8(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        bytes.push_back(static_cast<char>(CodeOfChar(NextCodePoint(utf8, pos))));
    }
    return bytes;
}

std::string Utf8FromBytes(std::string_view bytes) {
    std::string utf8;
    utf8.reserve(bytes.size());
    for (const char b : bytes) {
        AppendUtf8(utf8, CharOfCode(static_cast<unsigned char>(b)));
    }
    return utf8;
}

namespace {

// '?' itself is carried; only a character that would turn into one is not.
[[nodiscard]] bool Carried(char32_t c) noexcept {
    return c == kUnmappable || CodeOfChar(c) != kUnmappable;
}

}  // namespace

std::size_t FirstUncarriable(std::u32string_view text) noexcept {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!Carried(text[i])) {
            return i + 1;
        }
    }
    return kAllCarriable;
}

std::size_t FirstUncarriableUtf8(std::string_view utf8) noexcept {
    std::size_t position = 0;
    for (std::size_t pos = 0; pos < utf8.size();) {
        ++position;
        if (!Carried(NextCodePoint(utf8, pos))) {
            return position;
        }
    }
    return kAllCarriable;
}

}  // namespace platform::codepage
