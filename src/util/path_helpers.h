#pragma once

#include <string>

// The small path routines the attachment window proposes a destination from.
// The three path functions work on the text alone: they never touch the disk
// (platform/file_lookup.h asks it), never change letter case, and know one
// separator only; any other character, the other slash included, is ordinary.
// Paths are UTF-8 and positions count characters, not bytes.
namespace m_Decoder {

#ifdef _WIN32
inline constexpr char kNativeSeparator = '\\';
#else
inline constexpr char kNativeSeparator = '/';
#endif

// The folder part of a path, without its closing separator. Whether the path
// ends in a file name is decided by its fourth character from the end alone: a
// "." there means a three-character extension. Any other path is a folder,
// returned whole less one closing separator.
[[nodiscard]] std::string GetFolderFromPath(const std::string& sPath, char cSep = kNativeSeparator);

// The last component when it holds a "."; otherwise the empty string.
[[nodiscard]] std::string GetFileFromPath(const std::string& sPath, char cSep = kNativeSeparator);

// The last component up to its first ".". A last component without a dot gives
// the empty string, unless the path has no separator at all, when the whole
// text up to its first dot (or the whole text) is the result.
[[nodiscard]] std::string GetBaseNameFromPath(const std::string& sPath, char cSep = kNativeSeparator);

// The characters in front of the first NUL: what is left of a fixed-size
// buffer that a system call has filled with a NUL-terminated text.
[[nodiscard]] std::string TrimAtNull(const std::string& sBuffer);

}  // namespace m_Decoder
