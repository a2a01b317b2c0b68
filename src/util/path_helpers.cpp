#include "util/path_helpers.h"

namespace m_Decoder {
namespace {

// The bytes 10xxxxxx continue a UTF-8 character; every other byte begins one.
// A malformed sequence thus counts each stray byte with the character before it.
[[nodiscard]] bool IsContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0U) == 0x80U;
}

// Where the `count`-th character from the end begins: 0 when the text holds
// fewer characters, so that a short text answers with its first character.
[[nodiscard]] std::size_t CharacterFromEnd(const std::string& text, std::size_t count) {
    std::size_t offset = text.size();
    while (offset > 0 && count > 0) {
        --offset;
        if (!IsContinuationByte(text[offset])) {
            --count;
        }
    }
    return offset;
}

// The separator and the dot are single bytes that never occur inside a
// multi-byte UTF-8 character, so the searches below can work on bytes.
[[nodiscard]] std::string LastComponent(const std::string& path, char separator) {
    const std::size_t last_separator = path.rfind(separator);
    return last_separator == std::string::npos ? path : path.substr(last_separator + 1);
}

[[nodiscard]] bool HasDot(const std::string& text) {
    return text.find('.') != std::string::npos;
}

}  // namespace

std::string GetFolderFromPath(const std::string& sPath, char cSep) {
    if (sPath.empty()) {
        return {};
    }
    const bool ends_in_file_name = sPath[CharacterFromEnd(sPath, 4)] == '.';
    if (ends_in_file_name) {
        const std::size_t last_separator = sPath.rfind(cSep);
        return last_separator == std::string::npos ? std::string() : sPath.substr(0, last_separator);
    }
    if (sPath.back() == cSep) {
        return sPath.substr(0, sPath.size() - 1);
    }
    return sPath;
}

std::string GetFileFromPath(const std::string& sPath, char cSep) {
    std::string component = LastComponent(sPath, cSep);
    return HasDot(component) ? component : std::string();
}

std::string GetBaseNameFromPath(const std::string& sPath, char cSep) {
    const bool has_separator = sPath.find(cSep) != std::string::npos;
    const std::string working = LastComponent(sPath, cSep);
    if (has_separator && !HasDot(working)) {
        return {};
    }
    return working.substr(0, working.find('.'));
}

std::string TrimAtNull(const std::string& sBuffer) {
    return sBuffer.substr(0, sBuffer.find('\0'));
}

}  // namespace m_Decoder
