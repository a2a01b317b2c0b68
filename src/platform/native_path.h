#pragma once

#include <filesystem>
#include <string>

namespace platform {

// Paths travel through the program as UTF-8 strings; these cross into the
// file system's own form and back without a code page in between.
[[nodiscard]] inline std::filesystem::path PathFromUtf8(const std::string& utf8) {
    return {std::u8string(utf8.begin(), utf8.end())};
}

[[nodiscard]] inline std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

}  // namespace platform
