#pragma once

#include <string>

// The two questions the file jobs ask the disk before they start: whether the
// source is a file to read, and whether the destination's name is taken.
namespace m_Decoder {

// True only when `sPath` names an existing regular file, through links. Every
// failure (missing, a folder, empty, unreachable) gives false; it never throws.
// The path is used as given: callers trim it first.
[[nodiscard]] bool FileExists(const std::string& sPath) noexcept;

// True when anything at all has the name `sPath`: a file, a folder, a pipe, a
// device, a socket or a link, dangling or not. A decrypted file must never
// take the place of any of them.
[[nodiscard]] bool NameExists(const std::string& sPath) noexcept;

}  // namespace m_Decoder
